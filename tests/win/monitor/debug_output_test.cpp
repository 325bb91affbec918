// The debug-output listener against the system's own OutputDebugStringA/W in this process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiving/debug_output_source.h"

namespace {

// Takes what the listener captured until `count` messages came or two seconds passed.
std::vector<DebugMessage> Take(DebugOutputSource& source, size_t count) {
  std::vector<DebugMessage> taken;
  const DWORD start = GetTickCount();
  while (taken.size() < count && GetTickCount() - start < 2000) {
    DebugMessage message;
    if (source.Next(message)) {
      taken.push_back(message);
    } else {
      Sleep(5);
    }
  }
  return taken;
}

std::string ThisProgramsName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string full = path;
  return full.substr(full.find_last_of('\\') + 1);
}

TEST(DebugOutputSource, CapturesNarrowAndWideTextWithTheSendersIdAndName) {
  DebugOutputSource source;
  ASSERT_EQ(source.Start(), DebugOutputSource::StartResult::kStarted);
  OutputDebugStringA("narrow 1\n");
  OutputDebugStringW(L"wide 2\n");
  OutputDebugStringA("");
  const std::vector<DebugMessage> taken = Take(source, 3);
  ASSERT_EQ(taken.size(), 3u);
  EXPECT_EQ(taken[0].text, "narrow 1\n");
  EXPECT_EQ(taken[1].text, "wide 2\n");
  EXPECT_EQ(taken[2].text, "");
  for (const DebugMessage& message : taken) {
    EXPECT_EQ(message.processId, GetCurrentProcessId());
    EXPECT_EQ(message.sender, ThisProgramsName());
  }
}

TEST(DebugOutputSource, ManyMessagesKeepTheirOrder) {
  DebugOutputSource source;
  ASSERT_EQ(source.Start(), DebugOutputSource::StartResult::kStarted);
  constexpr int kCount = 300;
  for (int i = 0; i < kCount; ++i) OutputDebugStringA(("n " + std::to_string(i) + "\n").c_str());
  const std::vector<DebugMessage> taken = Take(source, kCount);
  ASSERT_EQ(taken.size(), static_cast<size_t>(kCount));
  for (int i = 0; i < kCount; ++i) EXPECT_EQ(taken[i].text, "n " + std::to_string(i) + "\n");
}

TEST(DebugOutputSource, ASecondListenerIsRefusedAndTheFirstGoesOn) {
  DebugOutputSource first;
  ASSERT_EQ(first.Start(), DebugOutputSource::StartResult::kStarted);
  {
    DebugOutputSource second;
    EXPECT_EQ(second.Start(), DebugOutputSource::StartResult::kInUse);
    EXPECT_FALSE(second.IsRunning());
  }
  OutputDebugStringA("still heard\n");
  const std::vector<DebugMessage> taken = Take(first, 1);
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0].text, "still heard\n");
}

// Once stopped, nothing listens: a sender must not wait for the listener's answer (the system
// waits up to 10 s for a listener that holds the objects but no longer reads).
TEST(DebugOutputSource, AfterStopASenderReturnsAtOnceAndCaptureCanStartAgain) {
  DebugOutputSource source;
  ASSERT_EQ(source.Start(), DebugOutputSource::StartResult::kStarted);
  source.Stop();
  EXPECT_FALSE(source.IsRunning());
  const DWORD start = GetTickCount();
  OutputDebugStringA("nobody listens\n");
  EXPECT_LT(GetTickCount() - start, 2000u);
  ASSERT_EQ(source.Start(), DebugOutputSource::StartResult::kStarted);
  OutputDebugStringA("heard again\n");
  const std::vector<DebugMessage> taken = Take(source, 1);
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0].text, "heard again\n");
}

}  // namespace
