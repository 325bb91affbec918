// The listener on the global debug-output objects, written to as a service writes, beside the
// session's listener; and what a user without the right to create global objects gets.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiving/debug_output_source.h"
#include "receiving/receiver.h"
#include "support/global_debug_output.h"
#include "support/monitor_process.h"

namespace {

// What a listener captured once `count` messages came, or what it had after two seconds.
std::vector<DebugMessage> Take(DebugOutputSource& source, size_t count) {
  std::vector<DebugMessage> taken;
  WaitUntil(
      [&] {
        DebugMessage message;
        while (source.Next(message)) taken.push_back(message);
        return taken.size() >= count;
      },
      2000);
  return taken;
}

struct Collected final : MessageSink {
  struct Line {
    MessageSource source;
    MessageKind kind;
    uint32_t processId;
    std::string text;
  };
  std::vector<Line> lines;
  void Take(const Message& message) override {
    lines.push_back({message.source, message.kind, message.processId,
                     std::string(reinterpret_cast<const char*>(message.text), message.length)});
  }
};

TEST(GlobalDebugOutput, AWriterOfTheGlobalObjectsIsHeardWithItsProcessId) {
  DebugOutputSource global(DebugOutputSource::Scope::kGlobal);
  ASSERT_EQ(global.Start(), DebugOutputSource::StartResult::kStarted);
  ASSERT_TRUE(WriteGlobalDebugOutput("service 1\n"));
  ASSERT_TRUE(WriteGlobalDebugOutput("service 2\n"));
  const std::vector<DebugMessage> taken = Take(global, 2);
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].text, "service 1\n");
  EXPECT_EQ(taken[1].text, "service 2\n");
  for (const DebugMessage& message : taken) EXPECT_EQ(message.processId, GetCurrentProcessId());
}

TEST(GlobalDebugOutput, TheSessionsListenerAndTheGlobalOneHearApart) {
  ASSERT_FALSE(DebugOutputSource::SessionIsGlobal()) << "a session of its own, as under Wine and on a desktop";
  DebugOutputSource session;
  DebugOutputSource global(DebugOutputSource::Scope::kGlobal);
  ASSERT_EQ(session.Start(), DebugOutputSource::StartResult::kStarted);
  ASSERT_EQ(global.Start(), DebugOutputSource::StartResult::kStarted) << "not the session's objects";
  OutputDebugStringA("for the session\n");
  ASSERT_TRUE(WriteGlobalDebugOutput("for the services' listener\n"));
  const std::vector<DebugMessage> fromSession = Take(session, 1);
  const std::vector<DebugMessage> fromGlobal = Take(global, 1);
  ASSERT_EQ(fromSession.size(), 1u);
  ASSERT_EQ(fromGlobal.size(), 1u);
  EXPECT_EQ(fromSession[0].text, "for the session\n");
  EXPECT_EQ(fromGlobal[0].text, "for the services' listener\n");
}

TEST(GlobalDebugOutput, ASecondGlobalListenerIsInUse) {
  DebugOutputSource first(DebugOutputSource::Scope::kGlobal);
  ASSERT_EQ(first.Start(), DebugOutputSource::StartResult::kStarted);
  DebugOutputSource second(DebugOutputSource::Scope::kGlobal);
  EXPECT_EQ(second.Start(), DebugOutputSource::StartResult::kInUse);
  EXPECT_EQ(second.startError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

TEST(GlobalDebugOutput, AnObjectTheUserMayNotOpenIsNoRightAndTheSessionsListenerStillStarts) {
  const scoped::Handle denied = HoldGlobalDebugObjectDenied();
  ASSERT_TRUE(denied);
  DebugOutputSource global(DebugOutputSource::Scope::kGlobal);
  EXPECT_EQ(global.Start(), DebugOutputSource::StartResult::kNoRight);
  EXPECT_EQ(global.startError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(global.IsRunning());
  DebugOutputSource session;
  EXPECT_EQ(session.Start(), DebugOutputSource::StartResult::kStarted);
}

TEST(GlobalDebugOutput, TheReceiverMarksTheGlobalLinesAndShowsTheirSenders) {
  Receiver receiver;
  ASSERT_EQ(receiver.debugOutput().Start(), DebugOutputSource::StartResult::kStarted);
  ASSERT_EQ(receiver.globalDebugOutput().Start(), DebugOutputSource::StartResult::kStarted);
  for (int i = 0; i < 3; ++i) {
    OutputDebugStringA(("session " + std::to_string(i) + "\n").c_str());
    ASSERT_TRUE(WriteGlobalDebugOutput("global " + std::to_string(i) + "\n"));
  }
  Collected sink;
  ASSERT_TRUE(WaitUntil(
      [&] {
        DrainBudget budget(DrainLimits{1000, 0, 0}, TickMilliseconds);
        receiver.DrainDebugOutput(sink, budget);
        return sink.lines.size() >= 6;
      },
      2000));
  ASSERT_EQ(sink.lines.size(), 6u);
  int session = 0;
  int global = 0;
  for (const Collected::Line& line : sink.lines) {
    EXPECT_EQ(line.kind, MessageKind::kText);
    EXPECT_EQ(line.processId, GetCurrentProcessId());
    if (line.source == MessageSource::kDebugOutputGlobal) {
      EXPECT_EQ(line.text, "global " + std::to_string(global++) + "\n");
    } else {
      EXPECT_EQ(line.source, MessageSource::kDebugOutput);
      EXPECT_EQ(line.text, "session " + std::to_string(session++) + "\n");
    }
  }
  EXPECT_EQ(session, 3);
  EXPECT_EQ(global, 3);
}

}  // namespace
