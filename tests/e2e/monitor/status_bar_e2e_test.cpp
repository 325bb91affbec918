// The status bar of vigilo.exe read from this process while messages flow: the count since start
// or All Erase, the rate, the log file while saving, the channel held by another program, and a
// hidden bar that is left alone; in English and in Japanese.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "channel/channel.h"
#include "resource_ids.h"
#include "support/dialog_driver.h"
#include "support/monitor_fixture.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"
#include "support/screenshot.h"
#include "support/status_bar_text.h"

namespace {

// The message box's text.
constexpr int kMessageBoxText = 0xFFFF;
enum Part { kCount = 0, kRate = 1, kLog = 2, kChannel = 3 };

std::string Ansi(const wchar_t* text) {
  char out[256] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return out;
}

std::string Ini(int language) { return "[system]\r\nlanguage=" + std::to_string(language) + "\r\n"; }

DWORD RunClient(const std::string& arguments) {
  ChildProcess client("\"" + BinDirectory() + "\\monitor_e2e_client.exe\" " + arguments, "");
  return client.Wait(120000);
}

// The mailslot held by this process, as another program would hold it.
class HeldChannel {
 public:
  HeldChannel() {
    char name[channel::kNameBufferSize];
    channel::FormatMailslotName(name);
    slot_ = CreateMailslotA(name, 0, 0, nullptr);
  }
  ~HeldChannel() { Release(); }
  HeldChannel(const HeldChannel&) = delete;
  HeldChannel& operator=(const HeldChannel&) = delete;
  bool held() const { return slot_ != INVALID_HANDLE_VALUE; }
  void Release() {
    if (slot_ != INVALID_HANDLE_VALUE) CloseHandle(slot_);
    slot_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE slot_ = INVALID_HANDLE_VALUE;
};

class StatusBarE2eTest : public MonitorFixture {
 protected:
  std::string Text(int part) { return StatusBarText(monitor().statusBar(), part); }
  // Waits until the part shows the text (a tick puts it there); the text last read.
  std::string WaitForText(int part, const std::string& text, DWORD milliseconds = 5000) {
    std::string shown;
    WaitUntil([&] { return (shown = Text(part)) == text; }, milliseconds);
    return shown;
  }

};

TEST_F(StatusBarE2eTest, CountRateAndLogFollowWhatHappens) {
  Start(Ini(0));
  EXPECT_EQ(WaitForText(kCount, "Messages: 0"), "Messages: 0");
  EXPECT_EQ(StatusBarParts(monitor().statusBar()).size(), 3u) << "count, rate, log: no channel notice";

  for (int i = 0; i < 3; ++i) ASSERT_TRUE(SendToMonitor("message " + std::to_string(i) + "\n"));
  EXPECT_EQ(WaitForText(kCount, "Messages: 3"), "Messages: 3");
  // Three messages within a second: the rate reaches 3 (0 would say nothing arrived), then goes
  // back to 0 a second after the last one.
  EXPECT_EQ(WaitForText(kRate, "3 msg/s"), "3 msg/s");
  EXPECT_EQ(WaitForText(kRate, "0 msg/s"), "0 msg/s") << "a second after the last message";

  // While a client sends a stream, the rate shows it; afterwards the count has every message.
  bool rateSeen = false;
  std::thread client([] { RunClient("lines 4000 stream"); });
  WaitUntil(
      [&] {
        int rate = 0;
        rateSeen = std::sscanf(Text(kRate).c_str(), "%d msg/s", &rate) == 1 && rate > 0;
        return rateSeen;
      },
      60000);
  client.join();
  EXPECT_TRUE(rateSeen) << "the rate stayed 0 while messages flowed";
  // The client's first call sends the channel's open banner as a message of its own.
  EXPECT_EQ(WaitForText(kCount, "Messages: 4004"), "Messages: 4004");

  const std::string log = dir_.File("status.log");
  StartLog(log, false);
  EXPECT_EQ(WaitForText(kLog, "Log: " + log), "Log: " + log);
  EXPECT_TRUE(SaveScreenshot(monitor().window(), "status-bar-en"));
  monitor().PostCommand(ID_FILE_STOP_LOG);
  EXPECT_EQ(WaitForText(kLog, ""), "") << "no log part text once saving stopped";

  monitor().Command(ID_EDIT_ALL_ERASE);
  EXPECT_EQ(WaitForText(kCount, "Messages: 0"), "Messages: 0");
  ASSERT_TRUE(SendToMonitor("after erase\n"));
  EXPECT_EQ(WaitForText(kCount, "Messages: 1"), "Messages: 1");
}

// A hidden bar is not told anything; shown again, it catches up at the next tick.
TEST_F(StatusBarE2eTest, HiddenBarIsLeftAloneAndCatchesUpWhenShown) {
  Start(Ini(0));
  ASSERT_TRUE(SendToMonitor("one\n"));
  ASSERT_EQ(WaitForText(kCount, "Messages: 1"), "Messages: 1");
  monitor().Command(ID_VIEW_STATUS_BAR);
  ASSERT_FALSE(IsWindowVisible(monitor().statusBar()));
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(SendToMonitor("hidden\n"));
  ASSERT_TRUE(monitor().WaitForConsoleEnding("hidden\r\nhidden\r\nhidden\r\nhidden\r\nhidden\r\n"));
  Sleep(200);  // several ticks: none may write to the hidden bar
  EXPECT_EQ(Text(kCount), "Messages: 1");
  monitor().Command(ID_VIEW_STATUS_BAR);
  EXPECT_EQ(WaitForText(kCount, "Messages: 6"), "Messages: 6");
}

TEST_F(StatusBarE2eTest, ChannelHeldElsewhereIsShownUntilItIsFree) {
  HeldChannel held;
  ASSERT_TRUE(held.held());
  monitor_.reset(new MonitorProcess(dir_.path(), Ini(0)));
  // The monitor tells of the channel in a box first; the window stands behind it.
  const HWND box = monitor().WaitForDialog([](HWND d) { return GetDlgItem(d, kMessageBoxText) != nullptr; }, 10000);
  ASSERT_NE(box, nullptr);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(monitor().WaitForWindow());
  const std::string notice = "Not receiving: the channel is in use";
  EXPECT_EQ(WaitForText(kChannel, notice), notice);
  const std::vector<int> parts = StatusBarParts(monitor().statusBar());
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_EQ(parts.back(), -1) << "the notice takes the right end";
  held.Release();
  // The monitor tries again once a second; the notice goes with the trouble.
  EXPECT_TRUE(WaitUntil([&] { return StatusBarParts(monitor().statusBar()).size() == 3u; }, 10000));
  ASSERT_TRUE(WaitUntil([] { return SendToMonitor("through\n"); }, 5000));
  EXPECT_EQ(WaitForText(kCount, "Messages: 1"), "Messages: 1");
}

// Run by ctest a second time under the Japanese locale (code page 932).
TEST_F(StatusBarE2eTest, JapaneseTextsInEveryPart) {
  ASSERT_EQ(GetACP(), 932u) << "needs code page 932 (run as monitor_tools_e2e_test_ja)";
  HeldChannel held;
  ASSERT_TRUE(held.held());
  monitor_.reset(new MonitorProcess(dir_.path(), Ini(1)));
  const HWND box = monitor().WaitForDialog([](HWND d) { return GetDlgItem(d, kMessageBoxText) != nullptr; }, 10000);
  ASSERT_NE(box, nullptr);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(monitor().WaitForWindow());
  const std::string notice = Ansi(L"受信停止中: チャネルが使用中です");
  EXPECT_EQ(WaitForText(kChannel, notice), notice);
  held.Release();
  ASSERT_TRUE(WaitUntil([] { return SendToMonitor("one\n"); }, 10000));
  ASSERT_TRUE(SendToMonitor("two\n"));
  EXPECT_EQ(WaitForText(kCount, Ansi(L"受信: 2 件")), Ansi(L"受信: 2 件"));
  EXPECT_EQ(WaitForText(kRate, Ansi(L"0 件/秒")), Ansi(L"0 件/秒"));
  const std::string log = dir_.File("status.log");
  StartLog(log, false);
  EXPECT_EQ(WaitForText(kLog, Ansi(L"ログ: ") + log), Ansi(L"ログ: ") + log);
  EXPECT_TRUE(SaveScreenshot(monitor().window(), "status-bar-ja"));
}

}  // namespace
