// The monitor's main window in this process: start-up states, Edit-command states in the menu
// and on the toolbar, layout and the View toggles, tooltips, timer-driven receiving, shutdown.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "channel/channel.h"
#include "dialogs/ansi_text.h"
#include "monitor/common/ansi_path.h"
#include "monitor/app/html_help.h"
#include "monitor/app/monitor_app.h"
#include "monitor/settings/settings_file.h"
#include "resource_ids.h"
#include "support/clipboard.h"
#include "support/command_state.h"
#include "support/dialog_driver.h"
#include "support/popup_probe.h"
#include "running_monitor.h"
#include "support/scratch_dir.h"
#include "tests/support/stored_text.h"

namespace {

// One monitor per test, in English, started as WinMain starts it.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Pump(100);
    ASSERT_TRUE(monitor_.started());
    ASSERT_NE(app.liveConsole().window, nullptr);
  }
  std::string Ini() const { return ReadWholeFile(monitor_.File("vigilo.ini")); }

  bool MenuEnabled(int command) { return MenuCommandEnabled(GetMenu(app.window()), command); }
  bool MenuChecked(int command) { return MenuCommandChecked(GetMenu(app.window()), command); }
  bool ButtonEnabled(int command) { return ToolbarButtonEnabled(app.toolbar(), command); }

  // Every Edit command in the same state in the menu and on the toolbar.
  void ExpectEditStates(bool copy, bool selectAll, bool allCopy, bool allErase) {
    const struct {
      int command;
      bool enabled;
    } states[] = {{ID_EDIT_COPY, copy}, {ID_EDIT_SELECT_ALL, selectAll}, {ID_EDIT_ALL_COPY, allCopy},
                  {ID_EDIT_ALL_ERASE, allErase}};
    for (const auto& s : states) {
      EXPECT_EQ(MenuEnabled(s.command), s.enabled) << "menu item " << s.command;
      EXPECT_EQ(ButtonEnabled(s.command), s.enabled) << "toolbar button " << s.command;
    }
  }

  RECT ChildRect(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, app.window(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  // As drawn: each line's gutter (sender, stamp) before its text.
  std::string Shown() { return DrawnText(app.liveConsole().view); }

  void WriteText(const char* text) { app.liveConsole().Write(text, static_cast<int>(std::strlen(text)), 0); }

  std::string Tooltip(int command) {
    char unchanged[] = "unchanged";
    NMTTDISPINFOA request = {};
    request.hdr.hwndFrom = app.toolbar();
    request.hdr.idFrom = static_cast<UINT_PTR>(command);
    request.hdr.code = TTN_NEEDTEXTA;
    request.lpszText = unchanged;
    EXPECT_EQ(SendMessageA(app.window(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request)), 0);
    return request.lpszText;
  }

  PopupProbe RightClick() {
    EXPECT_TRUE(monitor_.BringToFront());
    PopupProbe probe;
    PopupProbe::Current() = &probe;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, PopupProbe::Read);
    // The console's right-button handling runs the menu modally; with no menu it returns at once.
    SendMessageA(app.liveConsole().window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    Pump(100);
    KillTimer(nullptr, timer);
    PopupProbe::Current() = nullptr;
    return probe;
  }

  RunningMonitor monitor_{"[system]\r\nlanguage=0\r\n"};
  MonitorApp& app = monitor_.app();
};

// Moved to a display of another scale: the window takes the size the system suggests, the
// toolbar its drawing for that scale with its buttons as they were, the console a font for it.
TEST_F(MainWindowTest, ADpiChangeRemakesTheToolbarAndTheConsoleFontForTheNewScale) {
  const DWORD before = static_cast<DWORD>(SendMessageA(app.toolbar(), TB_GETBUTTONSIZE, 0, 0));
  const int lineBefore = app.liveConsole().lineHeight;
  ASSERT_GT(lineBefore, 0);
  const bool copyEnabled = SendMessageA(app.toolbar(), TB_ISBUTTONENABLED, ID_EDIT_COPY, 0) != 0;
  RECT suggested = {10, 20, 10 + 900, 20 + 700};
  SendMessageA(app.window(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  RECT frame;
  GetWindowRect(app.window(), &frame);
  EXPECT_EQ(frame.right - frame.left, 900);
  EXPECT_EQ(frame.bottom - frame.top, 700);
  const DWORD after = static_cast<DWORD>(SendMessageA(app.toolbar(), TB_GETBUTTONSIZE, 0, 0));
  EXPECT_EQ(LOWORD(after), 2 * LOWORD(before));
  EXPECT_EQ(HIWORD(after), 2 * HIWORD(before));
  EXPECT_EQ(SendMessageA(app.toolbar(), TB_ISBUTTONENABLED, ID_EDIT_COPY, 0) != 0, copyEnabled);
  EXPECT_GE(app.liveConsole().lineHeight, 2 * lineBefore - 3);
  EXPECT_LE(app.liveConsole().lineHeight, 2 * lineBefore + 3);
  EXPECT_EQ(app.liveConsole().view.leftMargin, 2 * kConsoleLeftMargin);
  EXPECT_EQ(app.liveConsole().view.topMargin, 2 * kConsoleTopMargin);
  SendMessageA(app.window(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(static_cast<DWORD>(SendMessageA(app.toolbar(), TB_GETBUTTONSIZE, 0, 0)), before);
  EXPECT_EQ(app.liveConsole().lineHeight, lineBefore);
}

// The system's app theme turned dark and light again while the monitor runs: the console's colours
// that vigilo.ini does not set follow at once.
TEST_F(MainWindowTest, ATurnOfTheSystemThemeRecoloursTheConsoleAtOnce) {
  const char* const personalize = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
  const uint32_t light = app.liveConsole().settings.normalBack;
  DWORD dark = 0;
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, personalize, "AppsUseLightTheme", REG_DWORD, &dark, sizeof dark),
            ERROR_SUCCESS);
  SendMessageA(app.window(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("ImmersiveColorSet"));
  const uint32_t darkened = app.liveConsole().settings.normalBack;
  RegDeleteKeyValueA(HKEY_CURRENT_USER, personalize, "AppsUseLightTheme");
  SendMessageA(app.window(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("ImmersiveColorSet"));
  EXPECT_EQ(light, 0xFFFFFFu);
  EXPECT_EQ(darkened, 0x1E1E1Eu);
  EXPECT_EQ(app.liveConsole().settings.normalBack, light);
}

TEST_F(MainWindowTest, StartsWithNothingToActOnGreyed) {
  EXPECT_EQ(std::string(settingsPath), monitor_.File("vigilo.ini"));
  char title[64];
  GetWindowTextA(app.window(), title, sizeof title);
  EXPECT_STREQ(title, "Tellit Message Monitor");
  EXPECT_EQ(GetMenuItemID(GetSubMenu(GetMenu(app.window()), 0), 10), static_cast<UINT>(ID_FILE_EXIT));
  char popup[32];
  GetMenuStringA(GetMenu(app.window()), 0, popup, sizeof popup, MF_BYPOSITION);
  EXPECT_STREQ(popup, "&File") << "language 0: the English menu";
  ExpectEditStates(false, false, false, false);
  EXPECT_TRUE(MenuEnabled(ID_FILE_START_LOG));
  EXPECT_TRUE(ButtonEnabled(ID_FILE_START_LOG));
  EXPECT_FALSE(MenuEnabled(ID_FILE_STOP_LOG));
  EXPECT_FALSE(ButtonEnabled(ID_FILE_STOP_LOG));
  // No file is open: nothing to follow or close.
  EXPECT_TRUE(MenuEnabled(ID_FILE_OPEN));
  EXPECT_FALSE(MenuEnabled(ID_FILE_FOLLOW));
  EXPECT_FALSE(MenuEnabled(ID_FILE_CLOSE_FILE));
  for (int command : {ID_FILE_SETTING, ID_HELP_TOPICS}) EXPECT_TRUE(ButtonEnabled(command));
  EXPECT_TRUE(app.intake().receiver().mailslot().IsOpen());
  EXPECT_EQ(app.intake().receiver().mailslot().capacity(), 4096u);
  EXPECT_TRUE(app.messageView().HasConvertBuffer());
  // Twelve entries, Paste nowhere on the toolbar.
  EXPECT_EQ(SendMessageA(app.toolbar(), TB_BUTTONCOUNT, 0, 0), 12);
  EXPECT_EQ(SendMessageA(app.toolbar(), TB_COMMANDTOINDEX, ID_EDIT_PASTE, 0), -1);
}

TEST_F(MainWindowTest, EditCommandsFollowTextSelectionCopyAndErase) {
  app.liveConsole().Clear();
  ExpectEditStates(false, false, false, false);

  WriteText("first line\r\nsecond line\r\n");
  ExpectEditStates(false, true, true, true);

  app.OnCommand(ID_EDIT_SELECT_ALL);
  EXPECT_EQ(app.liveConsole().text.selection.state, Selection::kFinished);
  ExpectEditStates(true, true, true, true);

  app.OnCommand(ID_EDIT_COPY);
  EXPECT_EQ(ClipboardText(), "first line\r\nsecond line\r\n");
  EXPECT_EQ(app.liveConsole().text.selection.state, Selection::kNone);
  ExpectEditStates(false, true, true, true);

  app.OnCommand(ID_EDIT_SELECT_ALL);
  WriteText("third\r\n");  // new text drops the selection and greys Copy
  EXPECT_EQ(app.liveConsole().text.selection.state, Selection::kNone);
  ExpectEditStates(false, true, true, true);

  app.OnCommand(ID_EDIT_ALL_COPY);
  EXPECT_EQ(ClipboardText(), "first line\r\nsecond line\r\nthird\r\n");
  EXPECT_EQ(app.liveConsole().text.selection.state, Selection::kNone);
  ExpectEditStates(false, true, true, true);

  app.liveConsole().hPos = 3;
  app.OnCommand(ID_EDIT_ALL_ERASE);
  EXPECT_EQ(app.liveConsole().text.used, 0u);
  EXPECT_EQ(app.liveConsole().hPos, 0);
  EXPECT_EQ(app.liveConsole().vPos, 0);
  ExpectEditStates(false, false, false, false);
}

// Only text written into an empty console enables the three commands; later messages leave
// their state alone, whatever it is.
TEST_F(MainWindowTest, OnlyTheFirstTextOfAnEmptyConsoleEnablesTheAllCommands) {
  app.liveConsole().Clear();
  WriteText("first\r\n");
  ExpectEditStates(false, true, true, true);
  for (int command : {ID_EDIT_SELECT_ALL, ID_EDIT_ALL_COPY, ID_EDIT_ALL_ERASE}) app.SetCommandEnabled(command, false);
  WriteText("second\r\n");
  ExpectEditStates(false, false, false, false);
  app.liveConsole().Write("", 0, 0);
  app.liveConsole().Clear();
  app.liveConsole().Write("", 0, 0);  // nothing written: the console stays empty and the commands greyed
  ExpectEditStates(false, false, false, false);
  WriteText("third\r\n");
  ExpectEditStates(false, true, true, true);
}

TEST_F(MainWindowTest, DragSelectionEnablesCopyAndAClickLeavesItGreyed) {
  app.liveConsole().Clear();
  WriteText("0123456789 abcdefghij\r\n");
  UpdateWindow(app.liveConsole().window);
  Pump(50);
  const int cw = app.liveConsole().charWidth > 0 ? app.liveConsole().charWidth : 8;
  const int lh = app.liveConsole().lineHeight > 0 ? app.liveConsole().lineHeight : 16;
  const LPARAM start = MAKELPARAM(4 + cw / 2, 2 + lh / 2);
  const LPARAM end = MAKELPARAM(4 + cw * 6 + cw / 2, 2 + lh / 2);
  const HWND console = app.liveConsole().window;

  SendMessageA(console, WM_LBUTTONDOWN, MK_LBUTTON, start);
  SendMessageA(console, WM_MOUSEMOVE, MK_LBUTTON, end);
  SendMessageA(console, WM_LBUTTONUP, 0, end);
  EXPECT_EQ(app.liveConsole().text.selection.state, Selection::kFinished);
  ExpectEditStates(true, true, true, true);
  app.OnCommand(ID_EDIT_COPY);
  EXPECT_EQ(ClipboardText().substr(0, 6), "012345");

  SendMessageA(console, WM_LBUTTONDOWN, MK_LBUTTON, start);
  SendMessageA(console, WM_LBUTTONUP, 0, start);
  EXPECT_EQ(app.liveConsole().text.selection.state, Selection::kNone);
  ExpectEditStates(false, true, true, true);
}

// The tabs of the views overlap the toolbar's bottom edge by one pixel, and the console meets them.
TEST_F(MainWindowTest, TabsOverlapTheToolbarByOnePixelTheConsoleFollowsAndBothFollowTheViewToggles) {
  RECT client;
  GetClientRect(app.window(), &client);
  const RECT bar = ChildRect(app.toolbar());
  const RECT status = ChildRect(app.status().bar());
  const RECT tabs = ChildRect(app.views().tabs().window());
  RECT console = ChildRect(app.liveConsole().window);
  EXPECT_EQ(tabs.top, bar.bottom - 1);
  EXPECT_GT(tabs.bottom - tabs.top, 10);
  EXPECT_EQ(console.top, tabs.bottom);
  EXPECT_EQ(console.bottom, status.top);
  EXPECT_EQ(console.left, 0);
  EXPECT_EQ(console.right, client.right);
  EXPECT_EQ(tabs.right, client.right);

  app.OnCommand(ID_VIEW_TOOLBAR);
  EXPECT_FALSE(MenuChecked(ID_VIEW_TOOLBAR));
  EXPECT_FALSE(IsWindowVisible(app.toolbar()));
  EXPECT_EQ(ChildRect(app.views().tabs().window()).top, 0);
  EXPECT_EQ(ChildRect(app.liveConsole().window).top, tabs.bottom - tabs.top);
  EXPECT_EQ(GetPrivateProfileIntA("system", "tool bar", 7, settingsPath), 0u);

  app.OnCommand(ID_VIEW_STATUS_BAR);
  EXPECT_FALSE(MenuChecked(ID_VIEW_STATUS_BAR));
  EXPECT_FALSE(IsWindowVisible(app.status().bar()));
  EXPECT_EQ(ChildRect(app.liveConsole().window).bottom, client.bottom);
  EXPECT_EQ(GetPrivateProfileIntA("system", "status bar", 7, settingsPath), 0u);

  app.OnCommand(ID_VIEW_TOOLBAR);
  app.OnCommand(ID_VIEW_STATUS_BAR);
  EXPECT_TRUE(MenuChecked(ID_VIEW_TOOLBAR));
  EXPECT_TRUE(MenuChecked(ID_VIEW_STATUS_BAR));
  EXPECT_TRUE(IsWindowVisible(app.toolbar()));
  EXPECT_EQ(ChildRect(app.liveConsole().window).top, tabs.bottom);
  EXPECT_EQ(ChildRect(app.liveConsole().window).bottom, status.top);
  EXPECT_EQ(GetPrivateProfileIntA("system", "tool bar", 7, settingsPath), 1u);
  EXPECT_EQ(GetPrivateProfileIntA("system", "status bar", 7, settingsPath), 1u);
}

TEST_F(MainWindowTest, TooltipsFollowTheLanguageAtEachRequest) {
  const struct {
    int command;
    const wchar_t* japanese;
    const char* english;
  } cases[] = {
      {ID_FILE_START_LOG, L"ログの保存", "Start Log Saving"}, {ID_FILE_STOP_LOG, L"ログの保存を中止", "Stop Log Saving"},
      {ID_FILE_SETTING, L"設定", "Setting"},                 {ID_EDIT_COPY, L"コピー", "Copy"},
      {ID_EDIT_PASTE, L"貼り付け", "Paste"},                 {ID_EDIT_SELECT_ALL, L"すべてを選択", "All Select"},
      {ID_EDIT_ALL_COPY, L"すべてをコピー", "All Copy"},     {ID_EDIT_ALL_ERASE, L"すべてを消去", "All Erase"},
      {ID_HELP_TOPICS, L"ヘルプ", "Help"},
  };
  for (const auto& c : cases) EXPECT_EQ(Tooltip(c.command), c.english);
  language = Language::kJapanese;
  for (const auto& c : cases) {
    char expected[64];
    AnsiText(c.japanese, expected);
    EXPECT_EQ(Tooltip(c.command), expected) << c.command;
  }
  language = Language::kEnglish;
  EXPECT_EQ(Tooltip(ID_FILE_EXIT), "unchanged") << "no tooltip for a command without a button";
  EXPECT_EQ(Tooltip(ID_VIEW_TOOLBAR), "unchanged");
}

TEST_F(MainWindowTest, TimerDrainsTheMailslotIntoTheConsole) {
  app.liveConsole().Clear();
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  const HANDLE writer = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(writer, "tick\n", 6, &written, nullptr);
  CloseHandle(writer);
  // A loaded machine may take its time for the tick: wait for what it shows, not a fixed while.
  for (int i = 0; i < 400 && app.liveConsole().text.used == 0; ++i) Pump(25);
  EXPECT_EQ(Shown(), "tick\r\n");
  ExpectEditStates(false, true, true, true);
}

TEST_F(MainWindowTest, ActivationFocusesTheConsole) {
  // The window manager's focus events come late under Wine: once they are in, none moves the
  // focus behind the test's back.
  ASSERT_TRUE(monitor_.BringToFront());
  SetFocus(app.window());
  SendMessageA(app.window(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(GetFocus(), app.liveConsole().window);
}

TEST_F(MainWindowTest, HelpPagesLieBesideTheProgramInBothLanguages) {
  for (Language lang : {Language::kEnglish, Language::kJapanese}) {
    language = lang;
    char path[MAX_PATH];
    HelpPagePath(path);
    EXPECT_NE(std::strstr(path, lang == Language::kJapanese ? "\\docs\\help\\index.ja.html" : "\\docs\\help\\index.en.html"), nullptr)
        << path;
    EXPECT_NE(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES) << path;
  }
  language = Language::kEnglish;
}

// The help pages are found from the program's own path; in code page 932 the trail byte of
// characters such as "\x83\x5C" (katakana so) or "\x95\x5C" (hyo) is a backslash's value.
TEST(ProgramFolder, TrailBytesThatLookLikeBackslashesDoNotSplitThePath) {
  const struct {
    const char* path;
    UINT codePage;
    size_t directory;
  } cases[] = {
      {"C:\\tools\\vigilo.exe", 932, 9},
      {"C:\\tools\\vigilo.exe", 1252, 9},
      {"C:\\\x83\x5C\x83\x74\x83\x67\\vigilo.exe", 932, 10},  // folder "sofuto"
      {"C:\\tools\\\x83\x5C.exe", 932, 9},                        // file name ends in "so"
      {"C:\\tools\\\x95\x5C\x8E\xA6.exe", 932, 9},              // file name "hyoji"
      {"C:\\tools\\\x83\x5C.exe", 1252, 11},  // no double-byte characters: a plain backslash
      {"C:\\", 932, 3},
      {"vigilo.exe", 932, 0},
      {"", 932, 0},
      {"C:\\tools\\\x83", 932, 9},  // a lead byte at the very end stands alone
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DirectoryPartLength(c.path, c.codePage), c.directory) << c.path << " in " << c.codePage;
  }
}

// A font name read with a 32-byte limit keeps whole characters only.
TEST(ProgramFolder, TextsCutByAByteLimitKeepWholeCharacters) {
  const struct {
    const char* text;
    UINT codePage;
    const char* kept;
  } cases[] = {
      {"Fixedsys", 932, "Fixedsys"},
      {"\x82\x6C\x82\x72 \x83\x53", 932, "\x82\x6C\x82\x72 \x83\x53"},  // whole characters stay
      {"\x82\x6C\x82\x72 \x83", 932, "\x82\x6C\x82\x72 "},               // a lone lead byte goes
      {"\x83\x5C\x83", 932, "\x83\x5C"},  // the 0x5C trail byte does not start a character
      {"abc\x83", 1252, "abc\x83"},          // single-byte code page: nothing to cut
      {"", 932, ""},
  };
  for (const auto& c : cases) {
    char text[32];
    std::strcpy(text, c.text);
    EXPECT_EQ(CutToWholeCharacters(text, c.codePage), std::strlen(c.kept)) << c.text;
    EXPECT_STREQ(text, c.kept) << c.text << " in " << c.codePage;
  }
}

TEST_F(MainWindowTest, UnknownCommandChangesNothing) {
  app.liveConsole().Clear();
  WriteText("kept\r\n");
  app.OnCommand(MAKEWPARAM(999, 0));
  EXPECT_EQ(Shown(), "kept\r\n");
  EXPECT_NE(app.window(), nullptr);
  EXPECT_TRUE(IsWindow(app.window()));
}

// The real tooltip control of the toolbar asks the main window for its texts.
TEST_F(MainWindowTest, ToolbarTooltipControlGetsTheTextsFromTheMainWindow) {
  const HWND tips = reinterpret_cast<HWND>(SendMessageA(app.toolbar(), TB_GETTOOLTIPS, 0, 0));
  ASSERT_NE(tips, nullptr);
  char text[80] = "";
  TOOLINFOA tool = {};
  tool.cbSize = sizeof tool;
  tool.hwnd = app.toolbar();
  tool.uId = ID_EDIT_ALL_COPY;
  tool.lpszText = text;
  SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "All Copy");
}

TEST_F(MainWindowTest, ContextMenuOffersWhatTheConsoleCanDo) {
  app.liveConsole().Clear();
  EXPECT_FALSE(RightClick().shown) << "empty console, no selection: no menu";

  WriteText("some text\r\n");
  PopupProbe plain = RightClick();
  ASSERT_TRUE(plain.shown);
  EXPECT_EQ(plain.items, (std::vector<UINT>{ID_EDIT_SELECT_ALL, ID_EDIT_ALL_COPY, ID_EDIT_ALL_ERASE}));
  EXPECT_EQ(plain.texts, (std::vector<std::string>{"All Select", "All Copy", "All Erase"}));

  app.OnCommand(ID_EDIT_SELECT_ALL);
  PopupProbe selected = RightClick();
  ASSERT_TRUE(selected.shown);
  EXPECT_EQ(selected.items,
            (std::vector<UINT>{ID_EDIT_COPY, 0, ID_EDIT_SELECT_ALL, ID_EDIT_ALL_COPY, ID_EDIT_ALL_ERASE}));
  EXPECT_EQ(selected.texts.front(), "Copy");

  // Paste is never offered while the console is read-only, whatever the clipboard holds.
  EXPECT_EQ(app.liveConsole().settings.readOnly, 1);
  EXPECT_EQ(std::count(selected.items.begin(), selected.items.end(), UINT{ID_EDIT_PASTE}), 0);

  app.OnCommand(ID_EDIT_ALL_ERASE);
  EXPECT_FALSE(RightClick().shown) << "after All Erase: no menu";
}

// Command 133 while the program runs: everything shown from then on speaks the new language,
// except the menu bar, which the window class fixed at start-up.
TEST_F(MainWindowTest, ChoosingJapaneseWhileRunningSwitchesAllButTheMenuBar) {
  struct EnglishAgain {  // whatever fails below, the later tests run in English
    ~EnglishAgain() { language = Language::kEnglish; }
  } englishAgain;
  DialogDriver toJapanese([](HWND dialog) {
    SendMessageA(GetDlgItem(dialog, IDC_LANGUAGE_COMBO), CB_SETCURSEL, 1, 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  app.OnCommand(ID_HELP_LANGUAGE);
  ASSERT_TRUE(toJapanese.ran());
  EXPECT_EQ(language, Language::kJapanese);
  EXPECT_EQ(GetPrivateProfileIntA("system", "language", 7, settingsPath), 1u);

  char popup[32] = "";
  GetMenuStringA(GetMenu(app.window()), 0, popup, sizeof popup, MF_BYPOSITION);
  EXPECT_STREQ(popup, "&File") << "the menu bar keeps the language of the start";

  char copy[64];
  AnsiText(L"コピー", copy);
  EXPECT_EQ(Tooltip(ID_EDIT_COPY), copy);

  app.liveConsole().Clear();
  WriteText("text\r\n");
  const PopupProbe menu = RightClick();
  ASSERT_TRUE(menu.shown);
  char selectAll[64];
  AnsiText(L"すべての範囲を選択", selectAll);
  ASSERT_FALSE(menu.texts.empty());
  EXPECT_EQ(menu.texts.front(), selectAll);

  char helpPage[MAX_PATH];
  HelpPagePath(helpPage);
  EXPECT_NE(std::strstr(helpPage, "index.ja.html"), nullptr) << helpPage;

  std::string aboutCaption;
  DialogDriver about([&](HWND dialog) {
    char text[64] = "";
    GetWindowTextA(dialog, text, sizeof text);
    aboutCaption = text;
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  app.OnCommand(ID_HELP_ABOUT);
  ASSERT_TRUE(about.ran());
  EXPECT_NE(aboutCaption, "About Tellit Message Monitor") << "the Japanese template 2003";

  DialogDriver toEnglish([](HWND dialog) {
    SendMessageA(GetDlgItem(dialog, IDC_LANGUAGE_COMBO), CB_SETCURSEL, 0, 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  app.OnCommand(ID_HELP_LANGUAGE);
  EXPECT_TRUE(toEnglish.ran());
  EXPECT_EQ(language, Language::kEnglish);
  EXPECT_EQ(Tooltip(ID_EDIT_COPY), "Copy");
}

// The HTML Help control comes only from the system directory, never from beside the program.
TEST_F(MainWindowTest, HtmlHelpLoadsFromTheSystemDirectoryOrNotAtAll) {
  DWORD_PTR cookie = 0;
  html_help::Initialize(&cookie);
  MSG message = {};
  html_help::PreTranslate(&message);
  html_help::Uninitialize(cookie);
  const HMODULE control = GetModuleHandleA("hhctrl.ocx");
  EXPECT_EQ(html_help::Available(), control != nullptr);
  if (control) {
    char loaded[MAX_PATH] = "";
    GetModuleFileNameA(control, loaded, MAX_PATH);
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(_strnicmp(loaded, system, std::strlen(system)), 0) << loaded;
  }
}

// Closing frees the channel so a new monitor could start at once.
TEST_F(MainWindowTest, ExitClosesTheWindowAndTheMailslot) {
  const HWND window = app.window();
  app.OnCommand(ID_FILE_EXIT);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(app.intake().receiver().mailslot().IsOpen());
  EXPECT_FALSE(app.intake().receiver().mailslot().HasBuffer());
  EXPECT_TRUE(app.messageView().HasConvertBuffer()) << "kept until the record goes";
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  const HANDLE again = CreateMailslotA(name, 0, MAILSLOT_WAIT_FOREVER, nullptr);
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
  app.SetWindow(nullptr);
}

}  // namespace
