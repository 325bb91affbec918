// Log saving and the settings sheet as a user meets them: vigilo.exe in its own process, driven from here.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "support/dialog_driver.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"
#include "support/screenshot.h"

namespace {

// Command and control identifiers, as the monitor's menus and dialogs carry them.
constexpr int kStartLog = 101, kStopLog = 102, kSetting = 103;
constexpr int kFileName = 1201, kSaveConsole = 1203;
constexpr int kMessageBoxText = 0xFFFF;
constexpr int kWrapColumn = 1110, kHexMode = 1103;

const char kEnglish[] = "[system]\r\nlanguage=0\r\n";

// vigilo.exe in a scratch directory of its own, whose vigilo.ini holds the given text, with its
// window shown; the process ends before the directory goes.
class ScratchMonitor : private ScratchDir, public MonitorProcess {
 public:
  explicit ScratchMonitor(const std::string& iniText) : MonitorProcess(path(), iniText) { WaitForWindow(); }
  bool Running() const { return window() != nullptr; }
  std::string Path(const char* name) const { return File(name); }
};

// Opens the log dialog with command 101 and fills and confirms it; returns what it offered.
// With a screenshot name the filled dialog is saved as that picture before it is confirmed.
struct Offer {
  std::string name;
  bool checked = false;
};

Offer FillLogDialog(const MonitorProcess& monitor, const std::string& name, bool saveConsole,
                    bool confirm = true, const char* screenshot = nullptr) {
  Offer offer;
  monitor.PostCommand(kStartLog);
  const HWND dialog = monitor.WaitForDialogWithControl(kFileName);
  EXPECT_NE(dialog, nullptr) << "no log dialog";
  if (!dialog) return offer;
  offer.name = ControlText(dialog, kFileName);
  offer.checked = SendDlgItemMessageA(dialog, kSaveConsole, BM_GETCHECK, 0, 0) == BST_CHECKED;
  SetDlgItemTextA(dialog, kFileName, name.c_str());
  SendDlgItemMessageA(dialog, kSaveConsole, BM_SETCHECK, saveConsole ? BST_CHECKED : BST_UNCHECKED, 0);
  if (screenshot) {
    EXPECT_TRUE(SaveScreenshot({dialog, monitor.window()}, screenshot));
  }
  PostMessageA(dialog, WM_COMMAND, confirm ? IDOK : IDCANCEL, 0);
  return offer;
}

// Answers the next message box of the monitor; its text.
std::string Answer(const MonitorProcess& monitor, int button) {
  const HWND box = monitor.WaitForDialog([](HWND d) {
    return GetDlgItem(d, kMessageBoxText) != nullptr && GetDlgItem(d, kFileName) == nullptr;
  });
  if (!box) return "(no message box)";
  const std::string text = ControlText(box, kMessageBoxText);
  PostMessageA(box, WM_COMMAND, button, 0);
  // Wait until it has gone, so the next search cannot find this box again.
  const DWORD start = GetTickCount();
  while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - start < 5000) Sleep(10);
  return text;
}

TEST(LogSavingEndToEnd, SavesTheConsoleTextAndEveryLaterMessageAsShown) {
  ScratchMonitor monitor(kEnglish);
  ASSERT_TRUE(monitor.Running());
  ASSERT_TRUE(SendToMonitor("before saving\n"));
  ASSERT_TRUE(monitor.WaitForConsoleEnding("before saving\r\n"));
  EXPECT_TRUE(monitor.ButtonEnabled(kStartLog));
  EXPECT_FALSE(monitor.ButtonEnabled(kStopLog));

  const std::string log = monitor.Path("messages.log");
  const Offer first = FillLogDialog(monitor, log, true, true, "dialogs-log-en");
  EXPECT_EQ(first.name, "");  // first use: empty name, box checked
  EXPECT_TRUE(first.checked);
  ASSERT_TRUE(monitor.WaitForNoDialog());
  EXPECT_FALSE(monitor.ButtonEnabled(kStartLog));
  EXPECT_TRUE(monitor.ButtonEnabled(kStopLog));

  // Lone CR and lone LF both become CR LF, in the console and in the file alike.
  for (const char* message : {"one\n", "two\rthree\r\n", "four"}) ASSERT_TRUE(SendToMonitor(message));
  ASSERT_TRUE(monitor.WaitForConsoleEnding("four"));
  const std::string shown = monitor.ConsoleText();
  EXPECT_EQ(shown, ReadWholeFile(log));
  EXPECT_NE(shown.find("one\r\ntwo\r\nthree\r\nfour"), std::string::npos) << shown;

  monitor.PostCommand(kStopLog);
  ASSERT_TRUE(SendToMonitor("after stop\n"));
  ASSERT_TRUE(monitor.WaitForConsoleEnding("after stop\r\n"));
  EXPECT_EQ(ReadWholeFile(log), shown);
  EXPECT_TRUE(monitor.ButtonEnabled(kStartLog));
  EXPECT_FALSE(monitor.ButtonEnabled(kStopLog));

  // The next use offers the last name and option; Cancel leaves saving off.
  const Offer again = FillLogDialog(monitor, "", true, false);
  EXPECT_EQ(again.name, log);
  EXPECT_TRUE(again.checked);
  ASSERT_TRUE(monitor.WaitForNoDialog());
  EXPECT_TRUE(monitor.ButtonEnabled(kStartLog));
  EXPECT_EQ(monitor.Close(), 0u);
}

TEST(LogSavingEndToEnd, ExistingFileNoThenYes) {
  ScratchMonitor monitor(kEnglish);
  ASSERT_TRUE(monitor.Running());
  ASSERT_TRUE(SendToMonitor("shown\n"));
  ASSERT_TRUE(monitor.WaitForConsoleEnding("shown\r\n"));
  const std::string log = monitor.Path("old.log");
  WriteWholeFile(log, "old contents");

  FillLogDialog(monitor, log, true);
  EXPECT_EQ(Answer(monitor, IDNO), "\"" + log + "\" has already existed, overwrite ?");
  ASSERT_TRUE(monitor.WaitForNoDialog());
  EXPECT_EQ(ReadWholeFile(log), "old contents");
  EXPECT_TRUE(monitor.ButtonEnabled(kStartLog));
  EXPECT_FALSE(monitor.ButtonEnabled(kStopLog));
  // Nothing was remembered: the next dialog offers the empty name again.
  const std::string ini = ReadWholeFile(monitor.Path("vigilo.ini"));
  EXPECT_EQ(ini.find("file name"), std::string::npos) << ini;

  FillLogDialog(monitor, log, false);
  Answer(monitor, IDYES);
  ASSERT_TRUE(monitor.WaitForNoDialog());
  // The file is emptied after the question has gone; Stop turns on once it is open.
  ASSERT_TRUE(WaitUntil([&] { return monitor.ButtonEnabled(kStopLog); }, 5000));
  EXPECT_EQ(ReadWholeFile(log), "");  // emptied, and the box was off
  ASSERT_TRUE(SendToMonitor("new\n"));
  ASSERT_TRUE(monitor.WaitForConsoleEnding("new\r\n"));
  EXPECT_EQ(ReadWholeFile(log), "new\r\n");
}

TEST(LogSavingEndToEnd, MissingFolderCannotOpenWithoutAsking) {
  ScratchMonitor monitor(kEnglish);
  ASSERT_TRUE(monitor.Running());
  const std::string log = monitor.Path("missing\\x.log");
  FillLogDialog(monitor, log, true);
  EXPECT_EQ(Answer(monitor, IDOK), "Can't open \"" + log + "\"");
  ASSERT_TRUE(monitor.WaitForNoDialog());
  EXPECT_TRUE(monitor.ButtonEnabled(kStartLog));
  EXPECT_FALSE(monitor.ButtonEnabled(kStopLog));
}

TEST(LogSavingEndToEnd, ClosingWhileSavingLeavesACompleteFile) {
  std::string expected;
  std::string log;
  {
    ScratchMonitor monitor(kEnglish);
    ASSERT_TRUE(monitor.Running());
    log = monitor.Path("complete.log");
    FillLogDialog(monitor, log, false);
    ASSERT_TRUE(monitor.WaitForNoDialog());
    for (int i = 0; i < 200; ++i) {
      char line[32];
      std::snprintf(line, sizeof line, "message %03d\n", i);
      ASSERT_TRUE(SendToMonitor(line));
      line[11] = '\r';
      line[12] = '\n';
      line[13] = '\0';
      expected += line;
    }
    ASSERT_TRUE(monitor.WaitForConsoleEnding("message 199\r\n"));
    EXPECT_EQ(monitor.Close(), 0u);
    // The file outlives the monitor; read before the scratch folder goes.
    EXPECT_EQ(ReadWholeFile(log), expected);
    // Closed at exit: a writer that shares nothing can open it now.
    const HANDLE exclusive = CreateFileA(log.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
    if (exclusive != INVALID_HANDLE_VALUE) CloseHandle(exclusive);
  }
}

// The settings sheet of the running monitor.
HWND WaitForSheet(const MonitorProcess& monitor, const char* caption) {
  return monitor.WaitForDialog([caption](HWND d) { return TextOf(d) == caption; });
}

// The page's furthest controls lie within the tab control, and the buttons below them: the
// 9-point page is not cut off by a sheet measured in its 8-point font.
bool WholePageShows(HWND sheet, HWND page) {
  const HWND tabs = FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr);
  RECT area, ok;
  GetClientRect(tabs, &area);
  MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&area), 2);
  GetWindowRect(GetDlgItem(sheet, IDOK), &ok);
  const DWORD start = GetTickCount();
  for (;;) {  // the page fits itself right after it has been placed
    bool inside = true;
    for (int id : {1109, 1107, 1111, 1117}) {
      RECT c;
      GetWindowRect(GetDlgItem(page, id), &c);
      inside = inside && c.right <= area.right && c.bottom <= area.bottom && c.bottom <= ok.top;
    }
    if (inside) return true;
    if (GetTickCount() - start > 2000) return false;
    Sleep(50);
    GetClientRect(tabs, &area);
    MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&area), 2);
    GetWindowRect(GetDlgItem(sheet, IDOK), &ok);
  }
}

TEST(SettingsSheetEndToEnd, CancelWritesNothingAndOkWritesTheConsoleSection) {
  ScratchMonitor monitor(kEnglish);
  ASSERT_TRUE(monitor.Running());
  const std::string before = ReadWholeFile(monitor.Path("vigilo.ini"));

  monitor.PostCommand(kSetting);
  HWND sheet = WaitForSheet(monitor, "Setting");
  ASSERT_NE(sheet, nullptr);
  PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  ASSERT_TRUE(monitor.WaitForNoDialog());
  EXPECT_EQ(ReadWholeFile(monitor.Path("vigilo.ini")), before);

  monitor.PostCommand(kSetting);
  sheet = WaitForSheet(monitor, "Setting");
  ASSERT_NE(sheet, nullptr);
  const HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(WholePageShows(sheet, page));
  EXPECT_TRUE(SaveScreenshot({sheet, monitor.window()}, "dialogs-sheet-en"));
  EXPECT_EQ(ControlText(page, kWrapColumn), "80");
  SetDlgItemTextA(page, kWrapColumn, "300");  // out of range: OK keeps 80
  SendDlgItemMessageA(page, kHexMode, BM_SETCHECK, BST_CHECKED, 0);
  PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  ASSERT_TRUE(monitor.WaitForNoDialog());
  const std::string after = ReadWholeFile(monitor.Path("vigilo.ini"));
  EXPECT_NE(after.find("[console]\r\ncolumn=80\r\nv scroll bar=1\r\nh scroll bar=1\r\nhex mode=1\r\n"),
            std::string::npos)
      << after;
  EXPECT_NE(after.find("custom 15=16777215"), std::string::npos) << after;

  EXPECT_EQ(monitor.Close(), 0u);
}

// Text in the ANSI code page, as the monitor's message boxes hold it.
std::string Ansi(const wchar_t* text) {
  char bytes[512] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
  return bytes;
}

// Run by ctest a second time under the Japanese locale (code page 932).
TEST(JapaneseEndToEnd, QuestionsAndSheetSpeakJapanese) {
  ASSERT_EQ(GetACP(), 932u) << "needs code page 932 (run as dialogs_e2e_test_ja)";
  ScratchMonitor monitor("[system]\r\nlanguage=1\r\n");
  ASSERT_TRUE(monitor.Running());
  ASSERT_TRUE(SendToMonitor("before saving\n"));
  ASSERT_TRUE(monitor.WaitForConsoleEnding("before saving\r\n"));
  const std::string log = monitor.Path("missing\\x.log");
  FillLogDialog(monitor, log, true, true, "dialogs-log-ja");
  EXPECT_EQ(Answer(monitor, IDOK), "\"" + log + "\"" + Ansi(L"が開けません"));
  ASSERT_TRUE(monitor.WaitForNoDialog());
  const std::string existing = monitor.Path("old.log");
  WriteWholeFile(existing, "old contents");
  FillLogDialog(monitor, existing, true);
  EXPECT_EQ(Answer(monitor, IDNO), "\"" + existing + "\"" + Ansi(L"は既に存在します。上書きしますか？"));
  ASSERT_TRUE(monitor.WaitForNoDialog());
  EXPECT_EQ(ReadWholeFile(existing), "old contents");

  monitor.PostCommand(kSetting);
  const HWND sheet = monitor.WaitForDialog(
      [](HWND d) { return TextOf(d) == Ansi(L"画面設定"); });
  ASSERT_NE(sheet, nullptr);
  const HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(WholePageShows(sheet, page));
  EXPECT_TRUE(SaveScreenshot({sheet, monitor.window()}, "dialogs-sheet-ja"));
  PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  ASSERT_TRUE(monitor.WaitForNoDialog());
}

}  // namespace
