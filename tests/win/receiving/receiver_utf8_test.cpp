// The receiver's intake: each message's UTF-8 text is every character its sender sent, from
// tellit.dll's exact text or decoded from the ANSI code page, as the system converts it.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "loaded_tellit.h"
#include "receiving/receiver.h"

namespace {

std::string Utf8Of(const std::wstring& wide) {
  const int need = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(need), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], need, nullptr, nullptr);
  return out;
}
std::wstring WideOf(UINT codePage, const std::string& bytes) {
  const int need = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(need), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], need);
  return out;
}

struct Taken {
  std::string text;
  std::string utf8;
};

class Collecting final : public MessageSink {
 public:
  void Take(const Message& message) override {
    if (message.kind != MessageKind::kText) return;
    taken.push_back({std::string(reinterpret_cast<const char*>(message.text), message.length),
                     std::string(reinterpret_cast<const char*>(message.utf8), message.utf8Length)});
  }
  std::vector<Taken> taken;
};

const wchar_t kLine[] =
    L"Greek \x0395\x03bb\x03bb\x03b7\x03bd\x03b9\x03ba\x03ac, Japanese \x65e5\x672c\x8a9e, emoji \xd83d\xde00, "
    L"Cyrillic \x041a\x0438\x0440\x0438\x043b\x043b\x0438\x0446\x0430\n";

class ReceiverUtf8 : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    char expected[16] = {};
    if (GetEnvironmentVariableA("VIGILO_EXPECT_ACP", expected, sizeof expected) > 0) {
      ASSERT_EQ(GetACP(), static_cast<UINT>(std::stoul(expected)));
    }
    ASSERT_TRUE(receiver.OpenMailslot());
    if (GetParam()) ASSERT_TRUE(receiver.StartReading());
  }

  // Drains until `count` texts came (the banner is one), or five seconds passed.
  void DrainUntil(size_t count) {
    const DWORD deadline = GetTickCount() + 5000;
    while (sink.taken.size() < count && GetTickCount() < deadline) {
      DrainBudget budget(DrainLimits{}, TickMilliseconds);
      receiver.DrainMailslot(sink, budget);
      if (sink.taken.size() < count) Sleep(5);
    }
    ASSERT_EQ(sink.taken.size(), count);
  }

  Receiver receiver;
  Collecting sink;
  tellit::testing::LoadedTellit dll;
};

TEST_P(ReceiverUtf8, EveryCharacterOfTellitReachesTheMessage) {
  ASSERT_TRUE(dll.loaded());
  ASSERT_GT(dll.tellitwf(L"%s", kLine), 0);
  ASSERT_GT(dll.tellitu8f("%s", Utf8Of(kLine).c_str()), 0);
  ASSERT_GT(dll.tellitf("%s", "plain\n"), 0);
  DrainUntil(4);
  EXPECT_EQ(sink.taken[1].utf8, Utf8Of(kLine)) << "tellitwf";
  EXPECT_EQ(sink.taken[2].utf8, Utf8Of(kLine)) << "tellitu8f";
  // The text up to the NUL stays what it was: the ANSI conversion.
  EXPECT_EQ(WideOf(CP_ACP, sink.taken[1].text), WideOf(CP_ACP, sink.taken[2].text));
  EXPECT_EQ(sink.taken[3].utf8, "plain\n");
}

// A writer that sends no exact text (an older client, another program) has its bytes decoded from
// the ANSI code page, as the system decodes them.
TEST_P(ReceiverUtf8, TextWithoutExactTextIsDecodedFromTheAnsiCodePage) {
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  HANDLE writer = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const std::string bytes = GetACP() == 932 ? std::string("\x93\xfa\x96\x7b\x8c\xea \xb1\n") : std::string("caf\xe9 \x80\n");
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer, bytes.c_str(), static_cast<DWORD>(bytes.size() + 1), &written, nullptr));
  CloseHandle(writer);
  DrainUntil(1);
  EXPECT_EQ(sink.taken[0].text, bytes);
  EXPECT_EQ(sink.taken[0].utf8, Utf8Of(WideOf(CP_ACP, bytes)));
}

INSTANTIATE_TEST_SUITE_P(OnItsThreadAndNot, ReceiverUtf8, ::testing::Bool());

}  // namespace
