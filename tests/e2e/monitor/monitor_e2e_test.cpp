// vigilo.exe as a user meets it: started in a scratch directory, fed by client processes through
// tellit.dll, and driven from this process through its window, toolbar and clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "channel/channel.h"
#include "resource_ids.h"
#include "support/clipboard.h"
#include "support/dialog_driver.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"
#include "support/screenshot.h"

namespace {

const std::string kBanner = "<< open TELLIT monitor >>\r\n";

std::string IniWithLanguage(int language) {
  return "[system]\r\nlanguage=" + std::to_string(language) + "\r\n";
}

// Runs the client program (tests/e2e/monitor/client_main.cpp) with the arguments; its exit code.
DWORD RunClient(const std::string& arguments, DWORD milliseconds = 60000) {
  ChildProcess client("\"" + BinDirectory() + "\\monitor_e2e_client.exe\" " + arguments, "");
  return client.Wait(milliseconds);
}

bool MailslotIsFree() {
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  const HANDLE probe = CreateMailslotA(name, 0, 0, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return false;
  CloseHandle(probe);
  return true;
}

RECT ScreenRect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

RECT ClientScreenRect(HWND window) {
  RECT rect = {};
  GetClientRect(window, &rect);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class MonitorE2eTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(WaitUntil(MailslotIsFree, 5000)) << "another monitor holds the mailslot"; }
  void TearDown() override {
    // Each test leaves the channel free for the next monitor.
    EXPECT_TRUE(WaitUntil(MailslotIsFree, 5000));
  }
  ScratchDir dir;
};

TEST_F(MonitorE2eTest, MessagesArriveLiveAndTheEditCommandsFollowTheStateTable) {
  WriteWholeFile(dir.File("vigilo.ini"), IniWithLanguage(0));
  MonitorProcess monitor(dir.path());
  ASSERT_TRUE(monitor.WaitForWindow());

  // At start: nothing to act on.
  for (int command : {ID_FILE_STOP_LOG, ID_EDIT_COPY, ID_EDIT_SELECT_ALL, ID_EDIT_ALL_COPY, ID_EDIT_ALL_ERASE}) {
    EXPECT_FALSE(monitor.ButtonEnabled(command)) << command;
  }
  for (int command : {ID_FILE_START_LOG, ID_FILE_SETTING, ID_HELP_TOPICS}) {
    EXPECT_TRUE(monitor.ButtonEnabled(command)) << command;
  }

  ASSERT_EQ(RunClient("lines 3 hello"), 0u);
  const std::string expected = kBanner + "hello 0\r\nhello 1\r\nhello 2\r\n";
  ASSERT_TRUE(WaitUntil([&] { return monitor.ButtonEnabled(ID_EDIT_ALL_COPY); }, 5000));
  std::string shown;
  EXPECT_TRUE(WaitUntil([&] { return (shown = monitor.ConsoleText()) == expected; }, 5000)) << shown;

  // First text: All Select, All Copy, All Erase enabled; Copy still greyed (All Copy greys it).
  EXPECT_TRUE(monitor.ButtonEnabled(ID_EDIT_SELECT_ALL));
  EXPECT_TRUE(monitor.ButtonEnabled(ID_EDIT_ALL_ERASE));
  EXPECT_FALSE(monitor.ButtonEnabled(ID_EDIT_COPY));

  monitor.Command(ID_EDIT_SELECT_ALL);
  EXPECT_TRUE(monitor.ButtonEnabled(ID_EDIT_COPY));
  ClearClipboard();
  monitor.Command(ID_EDIT_COPY);
  EXPECT_EQ(ClipboardText(), expected);
  EXPECT_FALSE(monitor.ButtonEnabled(ID_EDIT_COPY));

  // A drag over the first line finishes a selection: Copy enabled; new text greys it again.
  const HWND console = monitor.console();
  ASSERT_NE(console, nullptr);
  SendMessageA(console, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 8));
  SendMessageA(console, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 8));
  SendMessageA(console, WM_LBUTTONUP, 0, MAKELPARAM(60, 8));
  EXPECT_TRUE(monitor.ButtonEnabled(ID_EDIT_COPY));
  ClearClipboard();
  monitor.Command(ID_EDIT_COPY);
  const std::string dragged = ClipboardText();
  EXPECT_FALSE(dragged.empty());
  EXPECT_EQ(kBanner.compare(0, dragged.size(), dragged), 0) << dragged;

  SendMessageA(console, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 8));
  SendMessageA(console, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 8));
  SendMessageA(console, WM_LBUTTONUP, 0, MAKELPARAM(60, 8));
  ASSERT_TRUE(monitor.ButtonEnabled(ID_EDIT_COPY));
  ASSERT_EQ(RunClient("text more"), 0u);
  EXPECT_TRUE(WaitUntil([&] { return !monitor.ButtonEnabled(ID_EDIT_COPY); }, 5000));

  EXPECT_TRUE(SaveScreenshot(monitor.window(), "monitor-main-en"));

  monitor.Command(ID_EDIT_ALL_ERASE);
  for (int command : {ID_EDIT_COPY, ID_EDIT_SELECT_ALL, ID_EDIT_ALL_COPY, ID_EDIT_ALL_ERASE}) {
    EXPECT_FALSE(monitor.ButtonEnabled(command)) << command;
  }
  ClearClipboard();
  monitor.Command(ID_EDIT_ALL_COPY);
  EXPECT_EQ(ClipboardText(), "") << "nothing left to copy";

  EXPECT_EQ(monitor.Exit(), 0u);
}

TEST_F(MonitorE2eTest, SecondStartExitsAndLeavesTheFirstAndItsSettingsAlone) {
  const std::string ini = IniWithLanguage(0) + "tool bar=1\r\n";
  WriteWholeFile(dir.File("vigilo.ini"), ini);
  MonitorProcess first(dir.path());
  ASSERT_TRUE(first.WaitForWindow());

  MonitorProcess second(dir.path());
  EXPECT_EQ(second.Wait(10000), 0u);
  ScratchDir elsewhere;
  MonitorProcess third(elsewhere.path());
  EXPECT_EQ(third.Wait(10000), 0u);

  EXPECT_TRUE(IsWindow(first.window()));
  EXPECT_EQ(first.Wait(0), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(ReadWholeFile(dir.File("vigilo.ini")), ini);
  EXPECT_EQ(GetFileAttributesA(elsewhere.File("vigilo.ini").c_str()), INVALID_FILE_ATTRIBUTES)
      << "the second process exits before touching any settings file";
  EXPECT_EQ(first.Exit(), 0u);
}

TEST_F(MonitorE2eTest, ViewTogglesMoveTheConsoleAndPersistForTheNextStart) {
  WriteWholeFile(dir.File("vigilo.ini"), IniWithLanguage(0));
  {
    MonitorProcess monitor(dir.path());
    ASSERT_TRUE(monitor.WaitForWindow());
    const RECT client = ClientScreenRect(monitor.window());
    const RECT bar = ScreenRect(monitor.toolbar());
    const RECT status = ScreenRect(monitor.statusBar());
    const RECT tabs = ScreenRect(monitor.tabs());
    EXPECT_EQ(tabs.top, bar.bottom - 1) << "the tabs one pixel over the toolbar's edge";
    EXPECT_EQ(ScreenRect(monitor.console()).top, tabs.bottom) << "the console below the tabs";
    EXPECT_EQ(ScreenRect(monitor.console()).bottom, status.top);

    monitor.Command(ID_VIEW_TOOLBAR);
    EXPECT_EQ(ScreenRect(monitor.tabs()).top, client.top);
    EXPECT_EQ(ScreenRect(monitor.console()).top, client.top + (tabs.bottom - tabs.top));
    EXPECT_FALSE(IsWindowVisible(monitor.toolbar()));
    monitor.Command(ID_VIEW_STATUS_BAR);
    EXPECT_EQ(ScreenRect(monitor.console()).bottom, client.bottom);
    EXPECT_FALSE(IsWindowVisible(monitor.statusBar()));
    EXPECT_EQ(GetPrivateProfileIntA("system", "tool bar", 7, dir.File("vigilo.ini").c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileIntA("system", "status bar", 7, dir.File("vigilo.ini").c_str()), 0u);
    EXPECT_EQ(monitor.Exit(), 0u);
  }
  ASSERT_TRUE(WaitUntil(MailslotIsFree, 5000));
  {
    MonitorProcess monitor(dir.path());
    ASSERT_TRUE(monitor.WaitForWindow());
    ASSERT_NE(monitor.toolbar(), nullptr) << "created hidden, not left out";
    EXPECT_FALSE(IsWindowVisible(monitor.toolbar()));
    EXPECT_FALSE(IsWindowVisible(monitor.statusBar()));
    const RECT client = ClientScreenRect(monitor.window());
    EXPECT_EQ(ScreenRect(monitor.tabs()).top, client.top);
    EXPECT_EQ(ScreenRect(monitor.console()).top, ScreenRect(monitor.tabs()).bottom);
    EXPECT_EQ(ScreenRect(monitor.console()).bottom, client.bottom);

    monitor.Command(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(IsWindowVisible(monitor.toolbar()));
    EXPECT_EQ(ScreenRect(monitor.tabs()).top, ScreenRect(monitor.toolbar()).bottom - 1);
    EXPECT_EQ(ScreenRect(monitor.console()).top, ScreenRect(monitor.tabs()).bottom);
    EXPECT_EQ(GetPrivateProfileIntA("system", "tool bar", 7, dir.File("vigilo.ini").c_str()), 1u);
    EXPECT_EQ(monitor.Exit(), 0u);
  }
}

TEST_F(MonitorE2eTest, FirstStartAsksForTheLanguageBeforeTheWindow) {
  // Cancel: the window opens in the detected language and nothing is stored.
  {
    MonitorProcess monitor(dir.path());
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindProcessDialog(monitor.id())) != nullptr; }, 10000));
    EXPECT_EQ(FindWindowA("VIGILO WINDOW", nullptr), nullptr) << "the dialog comes before the main window";
    char caption[64] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    if (GetUserDefaultLangID() != 0x0411) {
      EXPECT_STREQ(caption, "Choose Language");
    }
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(monitor.WaitForWindow());
    EXPECT_EQ(GetPrivateProfileIntA("system", "language", -7, dir.File("vigilo.ini").c_str()), static_cast<UINT>(-7));
    EXPECT_EQ(monitor.Exit(), 0u);
  }
  ASSERT_TRUE(WaitUntil(MailslotIsFree, 5000));
  // Asked again; OK with Japanese chosen stores 1.
  {
    MonitorProcess monitor(dir.path());
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindProcessDialog(monitor.id())) != nullptr; }, 10000));
    const HWND combo = GetDlgItem(dialog, IDC_LANGUAGE_COMBO);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(monitor.WaitForWindow());
    EXPECT_EQ(GetPrivateProfileIntA("system", "language", -7, dir.File("vigilo.ini").c_str()), 1u);
    EXPECT_EQ(monitor.Exit(), 0u);
  }
  ASSERT_TRUE(WaitUntil(MailslotIsFree, 5000));
  // Stored: no question at the next start.
  {
    MonitorProcess monitor(dir.path());
    ASSERT_TRUE(monitor.WaitForWindow());
    EXPECT_EQ(FindProcessDialog(monitor.id()), nullptr);
    EXPECT_EQ(monitor.Exit(), 0u);
  }
}

TEST_F(MonitorE2eTest, ClosingTheWindowEndsTheProcessAndFreesTheMailslot) {
  WriteWholeFile(dir.File("vigilo.ini"), IniWithLanguage(0));
  MonitorProcess monitor(dir.path());
  ASSERT_TRUE(monitor.WaitForWindow());
  EXPECT_FALSE(MailslotIsFree());
  PostMessageA(monitor.window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(monitor.Wait(10000), 0u);
  EXPECT_TRUE(MailslotIsFree()) << "a new monitor can start at once";
}

// Every message of one fast client arrives, in order, and a figure for the notes: how fast. The
// monitor reads as fast as the client writes, so the messages stay below the console's line table
// (10,000 lines) and are checked once the last has arrived.
TEST_F(MonitorE2eTest, EveryMessageOfAFastClientArrivesInOrder) {
  WriteWholeFile(dir.File("vigilo.ini"), IniWithLanguage(0) + "[console]\r\nbuffer size=1024\r\n");
  MonitorProcess monitor(dir.path());
  ASSERT_TRUE(monitor.WaitForWindow());
  constexpr int kMessages = 9000;
  const DWORD start = GetTickCount();
  ChildProcess client("\"" + BinDirectory() + "\\monitor_e2e_client.exe\" lines " + std::to_string(kMessages) + " n",
                      "");
  ASSERT_TRUE(client.started());
  const std::string last = "n " + std::to_string(kMessages - 1) + "\r\n";
  std::string text;
  ASSERT_TRUE(WaitUntil(
      [&] {
        text = monitor.ConsoleText();
        return text.find(last) != std::string::npos;
      },
      60000));
  std::istringstream lines(text);
  std::string line;
  int next = 0;
  while (std::getline(lines, line)) {
    if (line == "<< open TELLIT monitor >>\r") continue;
    int number = -1;
    char rest = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "n %d\r%c", &number, &rest), 1) << "a cut or mixed line: " << line;
    ASSERT_EQ(number, next) << "a gap or repetition";
    ++next;
  }
  EXPECT_EQ(next, kMessages);
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_EQ(client.Wait(60000), 0u);
  std::printf("%d messages in %lu ms: %.0f messages/s, every one seen in order\n", kMessages,
              static_cast<unsigned long>(elapsed), kMessages * 1000.0 / (elapsed ? elapsed : 1));
  EXPECT_EQ(monitor.Exit(), 0u);
}

TEST_F(MonitorE2eTest, JapaneseMenuAndAJapaneseMessageCopiedBackIntact) {
  ASSERT_EQ(GetACP(), 932u) << "needs the Japanese locale (run as monitor_e2e_japanese_test)";
  // A font with kanji, so the screenshot shows them; the raster FixedSys has none.
  WriteWholeFile(dir.File("vigilo.ini"), IniWithLanguage(1) + "[console]\r\ntext font name=VL Gothic\r\n");
  MonitorProcess monitor(dir.path());
  ASSERT_TRUE(monitor.WaitForWindow());
  ASSERT_EQ(RunClient("japanese"), 0u);
  ASSERT_EQ(RunClient("lines 2 line"), 0u);
  const std::string expected = kBanner + "\x93\xFA\x96\x7B\x8C\xEA\r\n" + kBanner + "line 0\r\nline 1\r\n";
  std::string shown;
  EXPECT_TRUE(WaitUntil([&] { return (shown = monitor.ConsoleText()) == expected; }, 5000)) << shown;
  EXPECT_TRUE(SaveScreenshot(monitor.window(), "monitor-main-ja"));
  EXPECT_EQ(monitor.Exit(), 0u);
}

}  // namespace

namespace {

TEST_F(MonitorE2eTest, JapaneseFirstStartOffersJapaneseSelected) {
  ASSERT_EQ(GetACP(), 932u) << "needs the Japanese locale (run as monitor_e2e_japanese_test)";
  ASSERT_EQ(GetUserDefaultLangID(), 0x0411) << "needs the Japanese locale (run as monitor_e2e_japanese_test)";
  MonitorProcess monitor(dir.path());
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (dialog = FindProcessDialog(monitor.id())) != nullptr; }, 10000));
  wchar_t caption[64] = L"";
  GetWindowTextW(dialog, caption, 64);
  EXPECT_STREQ(caption, L"\u8A00\u8A9E\u8A2D\u5B9A") << "the Japanese template 2004";
  EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_LANGUAGE_COMBO), CB_GETCURSEL, 0, 0), 1) << "Japanese detected";
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(monitor.WaitForWindow());
  EXPECT_EQ(GetPrivateProfileIntA("system", "language", -7, dir.File("vigilo.ini").c_str()), 1u);
  EXPECT_EQ(monitor.Exit(), 0u);
}

}  // namespace

namespace {

// Help hands the page beside the program to the shell; with or without a browser the monitor
// goes on receiving.
TEST_F(MonitorE2eTest, HelpLeavesTheMonitorRunning) {
  WriteWholeFile(dir.File("vigilo.ini"), IniWithLanguage(0));
  MonitorProcess monitor(dir.path());
  ASSERT_TRUE(monitor.WaitForWindow());
  monitor.Command(ID_HELP_TOPICS);
  ASSERT_EQ(RunClient("text after-help"), 0u);
  std::string shown;
  EXPECT_TRUE(WaitUntil([&] { return (shown = monitor.ConsoleText()) == kBanner + "after-help"; }, 5000)) << shown;
  EXPECT_EQ(monitor.Exit(), 0u);
}

}  // namespace
