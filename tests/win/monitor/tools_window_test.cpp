// Find, the status bar and time stamps inside the monitor's own process, where the menu, the
// console's scroll position and the dialog's place can be read: the shortcuts through the message
// loop's filter, a hit scrolled into view both ways and kept clear of the dialog, a search across
// a settings change, the bar's texts in both languages, and the Time Stamps check mark.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "monitor/app/monitor_app.h"
#include "monitor/common/ui_text.h"
#include "monitor/settings/settings_file.h"
#include "resource_ids.h"
#include "running_monitor.h"
#include "support/clipboard_holder.h"
#include "support/command_state.h"
#include "support/dialog_driver.h"
#include "support/keyboard.h"
#include "support/scratch_dir.h"
#include "support/status_bar_text.h"
#include "tests/support/stored_text.h"

namespace {

// One monitor per test, with rows wider than the window so that a hit can lie right of the view.
class ToolsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(monitor_.started());
    RunMessageLoop(100);
  }
  void TearDown() override {
    if (app.findCommand().dialog()) {
      PostMessageA(app.findCommand().dialog(), WM_COMMAND, IDCANCEL, 0);
      RunMessageLoop(50);
    }
  }

  bool MenuChecked(int command) { return MenuCommandChecked(GetMenu(app.window()), command); }
  void WriteText(const std::string& text) { app.liveConsole().Write(text.data(), static_cast<int>(text.size()), 0); }

  // The message loop of WinMain for a while: the filter first, then the usual dispatching.
  void RunMessageLoop(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT || app.PreTranslate(&message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
      Sleep(5);
    } while (GetTickCount() - start < milliseconds);
  }

  // The selected bytes, or "" when nothing is selected.
  std::string Selected() {
    const Selection& selection = app.liveConsole().text.selection;
    if (selection.state != Selection::kFinished) return "";
    const int32_t lo = std::min(selection.anchor.offset, selection.end.offset);
    const int32_t hi = std::max(selection.anchor.offset, selection.end.offset);
    return StoredText(app.liveConsole().text, uint32_t(lo), uint32_t(hi - lo + 1));
  }

  int32_t SelectionStart() {
    const Selection& selection = app.liveConsole().text.selection;
    return std::min(selection.anchor.offset, selection.end.offset);
  }

  // Opens the find dialog with command 116 and presses Find Next with the text; false when the
  // monitor had to say that there is no such text (the box is answered).
  bool FindWithDialog(const std::string& text, bool down = true) {
    app.OnCommand(ID_EDIT_FIND);
    const HWND dialog = app.findCommand().dialog();
    if (!dialog) return false;
    SetDlgItemTextA(dialog, edt1, text.c_str());
    CheckRadioButton(dialog, rad1, rad2, down ? rad2 : rad1);
    UiScript notFound;
    notFound.Then([] { return FindThreadDialog(IsMessageBox); }, [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
    notFound.Start(INFINITE);
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    return !notFound.Finish();
  }
  static bool IsMessageBox(HWND dialog) {
    return GetDlgItem(dialog, 0xFFFF) != nullptr && GetDlgItem(dialog, edt1) == nullptr;
  }

  RunningMonitor monitor_{"[system]\r\nlanguage=0\r\n[console]\r\ncolumn=256\r\n"};
  MonitorApp& app = monitor_.app();
};

TEST_F(ToolsWindowTest, FindCommandsAreOfferedWhateverTheConsoleHolds) {
  for (int command : {ID_EDIT_FIND, ID_EDIT_FIND_NEXT}) {
    EXPECT_TRUE(MenuCommandEnabled(GetMenu(app.window()), command)) << command;
  }
  // F3 with no text yet opens the dialog; searching an empty console tells "not found". The key
  // itself, through the message loop's filter, as a user presses it.
  ASSERT_EQ(app.findCommand().dialog(), nullptr);
  ASSERT_EQ(app.liveConsole().text.used, 0u) << "the console must be empty";
  ASSERT_TRUE(PressKeys(app.window(), {VK_F3}));
  RunMessageLoop(200);
  const HWND dialog = app.findCommand().dialog();
  ASSERT_NE(dialog, nullptr) << "F3 opened no find dialog";
  EXPECT_EQ(FindThreadDialog([](HWND d) { return GetDlgItem(d, edt1) != nullptr; }), dialog);
  std::string told;
  UiScript answer;
  answer.Then([] { return FindThreadDialog(IsMessageBox); },
              [&](HWND box) {
                told = ControlText(box, 0xFFFF);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
              });
  answer.Start(INFINITE);
  SetDlgItemTextA(dialog, edt1, "anything");
  SendMessageA(dialog, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(answer.Finish());
  EXPECT_EQ(told, "Cannot find \"anything\".");
}

// The shortcuts reach the commands through the filter of the message loop, as WinMain runs it.
TEST_F(ToolsWindowTest, ShortcutsGoThroughTheMessageLoopFilter) {
  WriteText("key one\r\nkey two\r\nkey three\r\n");
  RunMessageLoop(20);
  ASSERT_TRUE(PressKeys(app.window(), {VK_CONTROL, 'F'}));
  RunMessageLoop(200);
  const HWND dialog = app.findCommand().dialog();
  ASSERT_NE(dialog, nullptr) << "Ctrl+F opened no find dialog";
  SetDlgItemTextA(dialog, edt1, "key");
  SendMessageA(dialog, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(SelectionStart(), 0);
  EXPECT_TRUE(ToolbarButtonEnabled(app.toolbar(), ID_EDIT_COPY)) << "a hit enables Copy";

  ASSERT_TRUE(PressKeys(app.window(), {VK_F3}));
  RunMessageLoop(200);
  EXPECT_EQ(SelectionStart(), 9) << "F3: the next one down";
  ASSERT_TRUE(PressKeys(app.window(), {VK_F3}));
  RunMessageLoop(200);
  EXPECT_EQ(SelectionStart(), 18);
  ASSERT_TRUE(PressKeys(app.window(), {VK_SHIFT, VK_F3}));
  RunMessageLoop(200);
  EXPECT_EQ(SelectionStart(), 9) << "Shift+F3: up";
  // Ctrl+F while the dialog is open brings it forward instead of opening a second one.
  ASSERT_TRUE(PressKeys(app.window(), {VK_CONTROL, 'F'}));
  RunMessageLoop(200);
  EXPECT_EQ(app.findCommand().dialog(), dialog);
  EXPECT_EQ(FindThreadDialog([](HWND d) { return GetDlgItem(d, edt1) != nullptr; }), dialog);
}

// A hit below the view and right of it is scrolled into view both ways, and the dialog moves off a
// hit it covers.
TEST_F(ToolsWindowTest, HitIsScrolledIntoViewBothWaysAndTheDialogKeepsOffIt) {
  for (int i = 0; i < 200; ++i) WriteText("line " + std::to_string(i) + "\r\n");
  const std::string farLine = std::string(150, '.') + "far target\r\n";
  WriteText(farLine + farLine);  // lines 200 and 201
  for (int i = 0; i < 50; ++i) WriteText("after " + std::to_string(i) + "\r\n");
  app.liveConsole().ScrollToLine(0);
  app.liveConsole().ScrollToColumn(0);
  UpdateWindow(app.liveConsole().window);
  RunMessageLoop(50);
  ASSERT_GT(app.liveConsole().view.visibleRows, 0);
  ASSERT_LT(app.liveConsole().view.visibleColumns, 150) << "the window is too wide for this test";

  ASSERT_TRUE(FindWithDialog("far target"));
  ASSERT_EQ(Selected(), "far target");
  const ByteLocation at = app.liveConsole().view.Locate(SelectionStart());
  EXPECT_EQ(at.line, 200);
  EXPECT_EQ(at.cell, 150);
  EXPECT_GE(at.line, app.liveConsole().vPos);
  EXPECT_LT(at.line, app.liveConsole().vPos + app.liveConsole().view.visibleRows - 1);
  EXPECT_GE(at.cell, app.liveConsole().hPos);
  EXPECT_LE(at.cell + 10, app.liveConsole().hPos + app.liveConsole().view.visibleColumns - 1);

  // The dialog put over the second target, which shows already: the next hit moves it away.
  const int32_t second = SelectionStart() + static_cast<int32_t>(farLine.size());
  RECT hit = {};
  ASSERT_TRUE(app.liveConsole().RangeRect(second, second + 9, &hit));
  MapWindowPoints(app.liveConsole().window, nullptr, reinterpret_cast<POINT*>(&hit), 2);
  const HWND dialog = app.findCommand().dialog();
  SetWindowPos(dialog, nullptr, hit.left, hit.top - 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT box = {};
  RECT overlap = {};
  GetWindowRect(dialog, &box);
  ASSERT_TRUE(IntersectRect(&overlap, &box, &hit));
  const int vPos = app.liveConsole().vPos;
  ASSERT_TRUE(FindWithDialog("far target"));
  ASSERT_EQ(SelectionStart(), second);
  EXPECT_EQ(app.liveConsole().vPos, vPos) << "a hit in view does not scroll";
  GetWindowRect(dialog, &box);
  EXPECT_FALSE(IntersectRect(&overlap, &box, &hit)) << "the dialog still covers the hit";

  // Up to the top: back to column 0 and the first lines.
  ASSERT_TRUE(FindWithDialog("line 0\r", false));
  EXPECT_EQ(Selected(), "line 0\r");
  EXPECT_EQ(app.liveConsole().vPos, 0);
  EXPECT_EQ(app.liveConsole().hPos, 0);
}

// A settings change that drops the first lines and moves the stored bytes: the next search goes on
// from the last hit where it still is, and from the start when it went.
TEST_F(ToolsWindowTest, SearchGoesOnAcrossASettingsChangeThatDropsLines) {
  for (int i = 0; i < 3000; ++i) WriteText("entry " + std::to_string(i) + " mark\r\n");
  ASSERT_TRUE(FindWithDialog("entry 2990 "));
  ASSERT_EQ(Selected(), "entry 2990 ");
  const ConsoleSettings before = app.liveConsole().settings;
  ConsoleSettings smaller = before;
  smaller.bufferSize = 1024;
  app.liveConsole().ApplySettings(smaller);
  EXPECT_EQ(app.liveConsole().text.selection.state, Selection::kNone) << "the bytes moved: no stale selection";
  ASSERT_TRUE(FindWithDialog("mark"));
  EXPECT_EQ(Selected(), "mark");
  const int32_t start = SelectionStart();
  ASSERT_GE(start, 11);
  EXPECT_EQ(StoredText(app.liveConsole().text, uint32_t(start - 11), 11), "entry 2990 ")
      << "the first mark after the last hit";

  // The hit leaves the store: the next search starts at the top again.
  for (int i = 0; i < 200; ++i) WriteText("newer " + std::to_string(i) + " mark\r\n");
  ASSERT_TRUE(FindWithDialog("mark"));
  const std::string stored = StoredText(app.liveConsole().text);
  EXPECT_EQ(SelectionStart(), static_cast<int32_t>(stored.find("mark")));
  app.liveConsole().ApplySettings(before);
}

// The bar's texts in the language in force at each tick, and a log name while saving.
TEST_F(ToolsWindowTest, StatusBarSpeaksTheLanguageOfEachTick) {
  app.OnCommand(ID_EDIT_ALL_ERASE);
  app.status().Update();
  EXPECT_EQ(StatusBarText(app.status().bar(), 0), "Messages: 0");
  app.messageView().ShowReceived(reinterpret_cast<const unsigned char*>("a\n"), 2);
  app.messageView().ShowReceived(reinterpret_cast<const unsigned char*>("b\n"), 2);
  app.status().Update();
  EXPECT_EQ(StatusBarText(app.status().bar(), 0), "Messages: 2");
  language = Language::kJapanese;
  app.status().Update();
  const StatusTexts japanese = MakeStatusTexts(2, 2, nullptr, false, Language::kJapanese);
  EXPECT_EQ(StatusBarText(app.status().bar(), 0), japanese.count);
  EXPECT_NE(japanese.count, "Messages: 2");
  language = Language::kEnglish;
  app.log().file().Adopt(CreateEventA(nullptr, FALSE, FALSE, nullptr));  // saving, as far as the bar can tell
  app.log().SetName("C:\\logs\\today.log");
  app.status().Update();
  app.log().file().Close();
  EXPECT_EQ(StatusBarText(app.status().bar(), 2), "Log: C:\\logs\\today.log");
  app.status().Update();
  EXPECT_EQ(StatusBarText(app.status().bar(), 2), "");
  // The count and rate parts are as wide as their texts need, and the log part takes the rest.
  const std::vector<int> parts = StatusBarParts(app.status().bar());
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_GT(parts[0], 0);
  EXPECT_GT(parts[1], parts[0]);
  EXPECT_EQ(parts[2], -1);
}

// Copy while another program held the clipboard said nothing: the selection went and nothing was
// copied. The status bar now tells it, in the language in force, and the selection stays.
TEST_F(ToolsWindowTest, CopyRefusedByTheClipboardIsToldInTheStatusBar) {
  WriteText("keep me\r\n");
  app.OnCommand(ID_EDIT_SELECT_ALL);
  {
    ClipboardHolder holder;
    ASSERT_TRUE(holder.holding());
    app.OnCommand(ID_EDIT_COPY);
  }
  EXPECT_EQ(Selected(), "keep me\r\n");
  EXPECT_TRUE(MenuCommandEnabled(GetMenu(app.window()), ID_EDIT_COPY));
  ASSERT_EQ(StatusBarParts(app.status().bar()).size(), 4u);
  EXPECT_EQ(StatusBarText(app.status().bar(), 3), "Not copied: another program is using the clipboard");
  language = Language::kJapanese;
  app.status().Update();
  char japanese[kUiTextSize];
  LoadUiText(Language::kJapanese, IDS_STATUS_COPY_FAILED, japanese);
  EXPECT_EQ(StatusBarText(app.status().bar(), 3), japanese);
  EXPECT_NE(std::string(japanese), "Not copied: another program is using the clipboard");
  language = Language::kEnglish;
  app.status().EndNotice();  // the notice's time is up
  app.status().Update();
  EXPECT_EQ(StatusBarParts(app.status().bar()).size(), 3u);
  app.OnCommand(ID_EDIT_COPY);  // the clipboard is free again: the kept selection copies
  EXPECT_EQ(Selected(), "");
  EXPECT_EQ(StatusBarParts(app.status().bar()).size(), 3u);
}

TEST_F(ToolsWindowTest, TimeStampsCheckMarkFollowsEachToggleAndIsSaved) {
  EXPECT_FALSE(MenuChecked(ID_VIEW_TIME_STAMPS)) << "off by default";
  EXPECT_FALSE(app.viewFlags().gutter().stamps);
  app.OnCommand(ID_VIEW_TIME_STAMPS);
  EXPECT_TRUE(MenuChecked(ID_VIEW_TIME_STAMPS));
  EXPECT_EQ(GetPrivateProfileIntA("system", "time stamps", 7, settingsPath), 1u);
  app.messageView().ShowReceived(reinterpret_cast<const unsigned char*>("x\n"), 2);
  EXPECT_EQ(StoredText(app.liveConsole().text), "x\r\n") << "the stamp is drawn, never stored";
  const std::string shown = DrawnText(app.liveConsole().view);
  ASSERT_EQ(shown.size(), 13u + 3u) << shown;
  EXPECT_EQ(shown.substr(13), "x\r\n");
  app.OnCommand(ID_VIEW_TIME_STAMPS);
  EXPECT_FALSE(MenuChecked(ID_VIEW_TIME_STAMPS));
  EXPECT_EQ(GetPrivateProfileIntA("system", "time stamps", 7, settingsPath), 0u);

  // A hand-edited value other than 0 or 1 reads as on, as the other on/off settings do.
  WritePrivateProfileStringA("system", "time stamps", "5", settingsPath);
  app.viewFlags().LoadViewFlags();
  EXPECT_TRUE(app.viewFlags().gutter().stamps);
  EXPECT_TRUE(MenuChecked(ID_VIEW_TIME_STAMPS));
  app.OnCommand(ID_VIEW_TIME_STAMPS);
  EXPECT_FALSE(app.viewFlags().gutter().stamps);
}

}  // namespace
