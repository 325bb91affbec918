// The main window's components on their own, each with a recording stand-in for what it talks
// to: what they send through their narrow interfaces, without a main window or the other
// components.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "channel/channel.h"
#include "monitor/app/intake.h"
#include "monitor/app/log_saving.h"
#include "monitor/app/status_line.h"
#include "monitor/common/language.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings/settings_file.h"
#include "receiving/message.h"
#include "support/scratch_dir.h"

namespace {

// A datagram as a sender without the client library writes it: the text and its NUL.
bool SendToMailslot(const std::string& text) {
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  const HANDLE slot = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (slot == INVALID_HANDLE_VALUE) return false;
  const std::string datagram = text + std::string(1, '\0');
  DWORD written = 0;
  const bool sent =
      WriteFile(slot, datagram.data(), DWORD(datagram.size()), &written, nullptr) && written == datagram.size();
  CloseHandle(slot);
  return sent;
}

struct RecordingSink final : MessageSink {
  void Take(const Message& message) override {
    texts.emplace_back(reinterpret_cast<const char*>(message.text), message.length);
  }
  std::vector<std::string> texts;
};

struct RecordingTroubles final : TroubleSink {
  void NotifyTrouble(Trouble trouble, DWORD error) override { told.emplace_back(trouble, error); }
  std::vector<std::pair<Trouble, DWORD>> told;
};

struct RecordingCommands final : CommandStates {
  void SetCommandEnabled(int command, bool enabled) override { states.emplace_back(command, enabled); }
  void CommandFailed(int command) override { failed.push_back(command); }
  std::vector<std::pair<int, bool>> states;
  std::vector<int> failed;
};

IntakeOptions OnTheGuiThread() {
  IntakeOptions options;
  options.readOnThread = false;
  options.tickLimits.milliseconds = 0;  // no time cap: a loaded machine must not change a drain
  return options;
}

class IntakeAlone : public ::testing::Test {
 protected:
  void SetUp() override { settingsPath[0] = '\0'; }
  const HWND noWindow_ = nullptr;
  RecordingSink sink_;
  RecordingTroubles troubles_;
  std::vector<int> notices_;
};

// The options given when the intake is made cap each drain: one message a drain, then the rest.
TEST_F(IntakeAlone, DrainsTheMailslotIntoItsSinkWithinTheOptionsItWasGiven) {
  IntakeOptions options = OnTheGuiThread();
  options.tickLimits.messages = 1;
  Intake intake(options, noWindow_, sink_, troubles_, [&](int text) { notices_.push_back(text); });
  ASSERT_TRUE(intake.StartReceiver());
  EXPECT_FALSE(intake.receiver().Reading()) << "read on the GUI thread, as the options say";
  ASSERT_TRUE(SendToMailslot("one\n"));
  ASSERT_TRUE(SendToMailslot("two\n"));
  intake.DrainMailslot();
  EXPECT_EQ(sink_.texts, (std::vector<std::string>{"one\n"}));
  intake.DrainMailslot();
  EXPECT_EQ(sink_.texts, (std::vector<std::string>{"one\n", "two\n"}));
  EXPECT_TRUE(troubles_.told.empty());
  EXPECT_TRUE(notices_.empty());
  intake.Stop();
  EXPECT_FALSE(intake.receiver().MailslotOpen());
}

// A second intake finds the channel taken: its trouble sink hears it once, however often it
// tries again, and the first one's channel goes on.
TEST_F(IntakeAlone, AChannelInUseIsToldOnceThroughTheTroubleSink) {
  RecordingSink firstSink;
  RecordingTroubles firstTroubles;
  Intake first(OnTheGuiThread(), noWindow_, firstSink, firstTroubles, [](int) {});
  ASSERT_TRUE(first.StartReceiver());
  Intake second(OnTheGuiThread(), noWindow_, sink_, troubles_, [](int) {});
  EXPECT_FALSE(second.StartReceiver());
  EXPECT_TRUE(second.channelDown());
  second.RetryChannelNow();
  second.DrainMailslot();
  EXPECT_FALSE(second.receiver().MailslotOpen());
  ASSERT_EQ(troubles_.told.size(), 1u);
  EXPECT_EQ(troubles_.told[0].first, TroubleSink::kChannelInUse);
  EXPECT_TRUE(firstTroubles.told.empty());
  ASSERT_TRUE(SendToMailslot("still here\n"));
  first.DrainMailslot();
  EXPECT_EQ(firstSink.texts, (std::vector<std::string>{"still here\n"}));
  EXPECT_TRUE(sink_.texts.empty());
}

// A write that fails stops saving: the commands it greys and the trouble it tells go through the
// two interfaces it was given, with nothing else of the window there.
TEST(LogSavingAlone, AFailedWriteGreysStopEnablesStartAndTellsTheTrouble) {
  ScratchDir dir;
  const std::string name = dir.File("read-only.log");
  const HWND noWindow = nullptr;
  VGL_Console console;
  RecordingCommands commands;
  RecordingTroubles troubles;
  LogSaving log(noWindow, console, commands, troubles);
  log.file().Adopt(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(log.IsOpen());
  EXPECT_FALSE(log.WriteLog("x\r\n", 3));
  EXPECT_FALSE(log.IsOpen());
  EXPECT_EQ(commands.states, (std::vector<std::pair<int, bool>>{{ID_FILE_STOP_LOG, false}, {ID_FILE_START_LOG, true}}));
  ASSERT_EQ(troubles.told.size(), 1u);
  EXPECT_EQ(troubles.told[0].first, TroubleSink::kLogStopped);
  EXPECT_NE(troubles.told[0].second, 0u) << "the system's reason goes with it";
}

// The status line asks its source for the facts only while its bar shows, and says what they say.
TEST(StatusLineAlone, AsksForTheFactsOnlyWhileTheBarShowsAndShowsWhatTheySay) {
  const HWND parent = CreateWindowExA(0, "STATIC", "status line test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 200, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  InitCommonControls();
  const HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD, 0, 0, 0, 0, parent, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(bar, nullptr);
  language = Language::kEnglish;
  int asked = 0;
  StatusLine status([&] {
    ++asked;
    StatusFacts facts;
    facts.logName = "C:\\logs\\today.log";
    return facts;
  });
  status.SetBar(bar);
  status.Count(GetTickCount());
  status.Update();
  EXPECT_EQ(asked, 0) << "the bar is hidden";
  ShowWindow(parent, SW_SHOW);
  ShowWindow(bar, SW_SHOW);
  status.Update();
  EXPECT_EQ(asked, 1);
  char text[256] = "";
  SendMessageA(bar, SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Log: C:\\logs\\today.log");
  SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "Messages: 1");
  DestroyWindow(parent);
}

}  // namespace
