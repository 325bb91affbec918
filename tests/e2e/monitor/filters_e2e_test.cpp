// Filters end to end: rules written to vigilo.ini before the monitor starts hide, keep and
// colour what client processes send through tellit.dll; View > Filter brings every hidden message
// back and hides them again; a rule that cannot be read is told; the log keeps everything.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/client_capture.h"
#include "support/screenshot.h"
#include "support/client_lines_fixture.h"
#include "support/dialog_driver.h"
#include "support/status_bar_text.h"

namespace {

constexpr int kMessageBoxText = 0xFFFF;

class FiltersEndToEnd : public ClientLinesFixture {};

TEST_F(FiltersEndToEnd, RulesFromTheFileExcludeHighlightAndComeBackWhenTheFilterIsOff) {
  Start("[system]\r\nlanguage=0\r\n[filters]\r\ncount=3\r\n"
        "rule 1=exclude;text;1;0;0;65535;*drop*\r\n"
        "rule 2=highlight;text;1;0;255;65280;hot\r\n"  // red on green
        "rule 3=exclude;colour;1;0;0;0;x\r\n");
  // The third rule is told once at start, by its number.
  const HWND box = monitor().WaitForDialog([](HWND d) { return GetDlgItem(d, kMessageBoxText) != nullptr; }, 10000);
  ASSERT_NE(box, nullptr);
  const std::string told = ControlText(box, kMessageBoxText);
  EXPECT_NE(told.find(": 3"), std::string::npos) << told;
  PostClick(box, IDOK);
  ASSERT_TRUE(monitor().WaitForNoDialog());

  StartLog(dir_.File("all.log"), false);
  Send("lines 3 keep");
  Send("lines 2 drop");
  Send("text hot\n");
  const std::vector<std::string> filtered = {"keep 0", "keep 1", "keep 2", "hot"};
  ASSERT_TRUE(WaitForShown(filtered)) << Lines(monitor().ConsoleText()).size() << " lines";
  // The status bar follows at its next update: 3 banners and 6 messages came, 2 are hidden.
  std::string count;
  EXPECT_TRUE(WaitUntil([&] { return (count = StatusBarText(monitor().statusBar(), 0)) == "Messages: 9 (7 shown, 2 hidden)"; }, 5000))
      << count;

  // The highlighted line: red text on green, where nothing else is green.
  const ClientCapture screen = CaptureClient(monitor().console());
  int green = 0, red = 0;
  for (const COLORREF pixel : screen.pixels) {
    green += pixel == RGB(0, 255, 0);
    red += pixel == RGB(255, 0, 0);
  }
  EXPECT_GT(green, 50) << "the line of \"hot\" has the rule's background";
  EXPECT_GT(red, 5) << "and the rule's text colour";
  EXPECT_TRUE(SaveScreenshot(monitor().window(), "filters-main-en"));

  const std::vector<std::string> everything = {"keep 0", "keep 1", "keep 2", "drop 0", "drop 1", "hot"};
  monitor().Command(ID_VIEW_FILTER);
  EXPECT_TRUE(WaitForShown(everything));
  EXPECT_EQ(GetPrivateProfileIntA("system", "filter", -1, dir_.File("vigilo.ini").c_str()), 0);
  monitor().Command(ID_VIEW_FILTER);
  EXPECT_TRUE(WaitForShown(filtered));
  EXPECT_EQ(GetPrivateProfileIntA("system", "filter", -1, dir_.File("vigilo.ini").c_str()), 1);

  // The log got every message, hidden or not.
  monitor().Command(ID_FILE_STOP_LOG);
  std::vector<std::string> logged;
  for (const std::string& line : Lines(ReadWholeFile(dir_.File("all.log")))) {
    if (line != kBanner) logged.push_back(line);
  }
  EXPECT_EQ(logged, everything);
}

TEST_F(FiltersEndToEnd, AnIncludeRuleShowsOnlyWhatMatchesItAndNoticesStay) {
  Start("[system]\r\nlanguage=0\r\n[filters]\r\ncount=2\r\n"
        "rule 1=include;text;1;1;0;65535;keep ?\r\n"
        "rule 2=include;program;0;0;0;65535;*\r\n");  // disabled: takes no part
  Send("lines 2 other");  // first: once the last "keep" shows, every message is in
  Send("lines 12 keep");
  // "keep 10" and "keep 11" match too: a pattern matches anywhere.
  std::vector<std::string> expected;
  for (int i = 0; i < 12; ++i) expected.push_back("keep " + std::to_string(i));
  EXPECT_TRUE(WaitForShown(expected));
  int banners = 0;
  for (const std::string& line : Lines(monitor().ConsoleText())) banners += line == kBanner;
  EXPECT_EQ(banners, 2) << "the channel's banners are never hidden";
}

// Text rules judge what the program sent: a rule on the program's name as text keeps only the
// message that says it, although senders and time stamps put the name and a time before each.
TEST_F(FiltersEndToEnd, ATextRuleSeesTheSentTextNotTheSenderOrTheStamp) {
  Start("[system]\r\nlanguage=0\r\nshow senders=1\r\ntime stamps=1\r\n[filters]\r\ncount=2\r\n"
        "rule 1=include;text;1;0;0;65535;e2e_client\r\n"
        "rule 2=exclude;text;1;0;0;65535;:*:*.\r\n");  // would hide every stamped line
  Send("text mentions_monitor_e2e_client\n");
  Send("text silent\n");
  std::vector<std::string> lines;
  ASSERT_TRUE(WaitUntil([&] { return monitor().ConsoleText().find("mentions") != std::string::npos; }, 10000));
  monitor().Command(ID_VIEW_FILTER);  // off: every line comes back
  ASSERT_TRUE(WaitUntil([&] { return monitor().ConsoleText().find("silent") != std::string::npos; }, 10000));
  monitor().Command(ID_VIEW_FILTER);  // on: the history decided again gives the same
  ASSERT_TRUE(WaitUntil([&] { return monitor().ConsoleText().find("silent") == std::string::npos; }, 10000));
  int banners = 0, shown = 0;
  for (const std::string& line : Lines(monitor().ConsoleText())) {
    banners += line.find(kBanner) != std::string::npos;
    shown += line.find("mentions_monitor_e2e_client") != std::string::npos;
    EXPECT_NE(line.find("monitor_e2e_client.exe] "), std::string::npos) << "senders on: " << line;
    EXPECT_EQ(line[2], ':') << "stamps on: " << line;
  }
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(banners, 2);
}

// In Japanese (code page 932) the status bar says the same: "受信: 7 件 (表示 4 件, 非表示 3 件)".
TEST_F(FiltersEndToEnd, JapaneseStatusBarCountsTheHiddenMessages) {
  Start("[system]\r\nlanguage=1\r\n[filters]\r\ncount=2\r\n"
        "rule 1=exclude;text;1;0;0;65535;*drop*\r\n"
        "rule 2=highlight;program;1;0;0;16776960;monitor_e2e_client*\r\n");
  Send("lines 2 keep");
  Send("lines 3 drop");
  std::string count;
  EXPECT_TRUE(WaitUntil([&] { return (count = StatusBarText(monitor().statusBar(), 0)) ==
                                        "\x8e\xf3\x90\x4d: 7 \x8c\x8f (\x95\x5c\x8e\xa6 4 \x8c\x8f, \x94\xf1\x95\x5c\x8e\xa6 3 \x8c\x8f)"; }, 5000))
      << count;
  EXPECT_TRUE(SaveScreenshot(monitor().window(), "filters-main-ja"));
  monitor().PostCommand(ID_EDIT_FILTER);
  const HWND dialog = monitor().WaitForDialogWithControl(IDC_FILTER_LIST);
  ASSERT_NE(dialog, nullptr);
  Sleep(300);  // drawn once its thread waits for messages again
  EXPECT_TRUE(SaveScreenshot(dialog, "filters-dialog-running-ja"));
  PostClick(dialog, IDCANCEL);
  EXPECT_TRUE(monitor().WaitForNoDialog());
}

// The dialog of the running monitor: the Delete key and Up, then OK saves the rules
// in their saved form, the whole section anew, and the history is decided again at once.
TEST_F(FiltersEndToEnd, TheDialogRemovesAndReordersRulesAndOkSavesThemAndFiltersAgain) {
  Start("[system]\r\nlanguage=0\r\n[filters]\r\ncount=3\r\n"
        "rule 1=exclude;text;1;0;0;65535;*drop*\r\n"
        "rule 2=include;text;1;0;0;65535;*\r\n"
        "rule 3=highlight;text;1;1;255;65280;keep 1\r\n");
  Send("lines 2 drop");
  Send("lines 2 keep");
  ASSERT_TRUE(WaitForShown({"keep 0", "keep 1"}));

  monitor().PostCommand(ID_EDIT_FILTER);
  const HWND dialog = monitor().WaitForDialogWithControl(IDC_FILTER_LIST);
  ASSERT_NE(dialog, nullptr);
  const HWND list = GetDlgItem(dialog, IDC_FILTER_LIST);
  const auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; };
  const auto click = [&](int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
  };
  const auto rows = [&] { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); };
  ASSERT_TRUE(WaitUntil([&] { return rows() == 3; }, 5000));
  SendMessageA(list, WM_KEYDOWN, VK_HOME, 0);  // the first rule
  ASSERT_TRUE(WaitUntil([&] { return enabled(IDC_FILTER_REMOVE); }, 5000));
  SendMessageA(list, WM_KEYDOWN, VK_DELETE, 0);  // the Delete key removes it, as Remove does
  ASSERT_TRUE(WaitUntil([&] { return rows() == 2; }, 5000));
  SendMessageA(list, WM_KEYDOWN, VK_END, 0);  // the highlight, now the second of two
  ASSERT_TRUE(WaitUntil([&] { return enabled(IDC_FILTER_UP) && !enabled(IDC_FILTER_DOWN); }, 5000));
  click(IDC_FILTER_UP);
  ASSERT_TRUE(WaitUntil([&] { return !enabled(IDC_FILTER_UP) && enabled(IDC_FILTER_DOWN); }, 5000));
  PostClick(dialog, IDOK);
  ASSERT_TRUE(monitor().WaitForNoDialog());

  const std::string ini = dir_.File("vigilo.ini");
  const auto value = [&](const char* key) {
    char text[512] = "";
    GetPrivateProfileStringA("filters", key, "(none)", text, sizeof text, ini.c_str());
    return std::string(text);
  };
  // The monitor writes the file once the dialog has closed.
  EXPECT_TRUE(WaitUntil([&] { return value("count") == "2"; }, 5000)) << value("count");
  EXPECT_EQ(value("rule 1"), "highlight;text;1;1;255;65280;keep 1");
  EXPECT_EQ(value("rule 2"), "include;text;1;0;0;65535;*");
  EXPECT_EQ(value("rule 3"), "(none)") << "the section is written whole";
  EXPECT_TRUE(WaitForShown({"drop 0", "drop 1", "keep 0", "keep 1"})) << "what the removed rule hid is back";
}

}  // namespace
