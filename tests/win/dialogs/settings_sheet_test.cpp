// The console settings sheet in process: what OK and Cancel write, and what reaches the running console.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>

#include "monitor/settings/font_chooser.h"
#include "monitor/app/monitor_app.h"
#include "monitor/resources/log_settings_ids.h"
#include "monitor/settings/settings_file.h"
#include "monitor_host.h"
#include "support/dialog_driver.h"

namespace {

// The record whose console and log the host's window shows.
MonitorApp& app = MonitorHost::App();

// Set by ReadConsoleSettings on every load, never by the sheet: a console that still carries
// another value was not reconfigured.
constexpr uint32_t kNotReconfigured = 0x123456;

const char* const kConsoleKeys[31] = {
    "column", "v scroll bar", "h scroll bar", "hex mode", "auto scroll", "buffer size", "tabs",
    "text font size", "text font name", "console text 1", "console back 1", "console text 2",
    "console back 2", "console text 3", "console back 3", "custom 0", "custom 1", "custom 2",
    "custom 3", "custom 4", "custom 5", "custom 6", "custom 7", "custom 8", "custom 9",
    "custom 10", "custom 11", "custom 12", "custom 13", "custom 14", "custom 15"};

HWND Page(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND FindSheet() { return WindowWithCaption(language == Language::kJapanese ? L"画面設定" : L"Setting"); }

// The fixed-pitch families the page lists, in list order.
std::vector<std::string> ListEntries(HWND list) {
  std::vector<std::string> entries;
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[64] = {};
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    entries.push_back(text);
  }
  return entries;
}

std::string Selected(HWND list) {
  const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return "(none)";
  char text[64] = {};
  SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

// Runs the sheet; act sees the page, then OK (or Cancel) is pressed.
bool RunSheet(std::function<void(HWND page)> act, int button = PSBTN_OK) {
  UiScript script;
  script.Then(FindSheet, [=](HWND sheet) {
    act(Page(sheet));
    PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
  });
  return script.Run([] { app.liveConsole().OpenSettingsSheet(MonitorHost::Window()); });
}

void SetNumber(HWND page, int id, const char* text) {
  SetDlgItemTextA(page, id, text);
  // What the page sees when the focus leaves the box.
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS),
               reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void PickListEntry(HWND page, int id, int index) {
  SendDlgItemMessageA(page, id, LB_SETCURSEL, index, 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

std::string Value(const MonitorHost& host, const char* key) {
  for (const auto& entry : host.Section("console"))
    if (entry.first == key) return entry.second;
  return "(missing)";
}

class SettingsSheet : public testing::Test {
 protected:
  void SetUp() override {
    // The console starts from this test's file, with the marker.
    SyncConsoleWithFile();
  }
  void SyncConsoleWithFile() {
    app.liveConsole().settingsUnsaved = false;  // the record outlives each test
    ConsoleSettings fromFile;
    ReadConsoleSettings(fromFile);
    app.liveConsole().ApplySettings(fromFile);
    app.liveConsole().settings.inputText = kNotReconfigured;
  }
  static bool Reconfigured() { return app.liveConsole().settings.inputText != kNotReconfigured; }
  // The first family the page lists: what an unlisted stored family becomes.
  static std::string FirstFamily() {
    std::string first;
    RunSheet([&](HWND page) { first = ListEntries(GetDlgItem(page, IDC_CONFIG_FONT_NAME)).at(0); },
             PSBTN_CANCEL);
    return first;
  }
  // Stores a family and size that the page offers as they are, so OK changes nothing.
  void StoreOfferedFont() {
    const std::string family = FirstFamily();
    host.WriteSetting("console", "text font name", family.c_str());
    LRESULT size = 0;
    RunSheet([&](HWND page) { size = SendDlgItemMessageA(page, IDC_CONFIG_FONT_SIZE, LB_GETITEMDATA, 0, 0); },
             PSBTN_CANCEL);
    host.WriteSetting("console", "text font size", std::to_string(size).c_str());
    SyncConsoleWithFile();
  }
  MonitorHost host;
};

TEST_F(SettingsSheet, FontListsOfferFixedPitchFamiliesOnlyOnceEach) {
  std::vector<std::string> families;
  ASSERT_TRUE(RunSheet([&](HWND page) { families = ListEntries(GetDlgItem(page, IDC_CONFIG_FONT_NAME)); },
                       PSBTN_CANCEL));
  std::string shown;
  for (const std::string& f : families) shown += " [" + f + "]";
  std::printf("fixed-pitch families listed:%s\n", shown.c_str());
  ASSERT_FALSE(families.empty());
  EXPECT_EQ(std::set<std::string>(families.begin(), families.end()).size(), families.size());
  for (const std::string& f : families) EXPECT_NE(f[0], '@') << f;
  EXPECT_TRUE(std::is_sorted(families.begin(), families.end(), [](const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
  }));
}

// Whether a control lies wholly inside a screen rectangle.
bool Inside(HWND control, const RECT& w) {
  RECT c;
  GetWindowRect(control, &c);
  return c.left >= w.left && c.top >= w.top && c.right <= w.right && c.bottom <= w.bottom;
}

bool Inside(HWND control, HWND window) {
  RECT w;
  GetClientRect(window, &w);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&w), 2);
  return Inside(control, w);
}

// The tab control's page area, where the page shows, on the screen.
RECT DisplayArea(HWND tabs) {
  RECT display;
  GetClientRect(tabs, &display);
  TabCtrl_AdjustRect(tabs, FALSE, &display);
  MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&display), 2);
  return display;
}

TEST_F(SettingsSheet, TheWholePageIsVisibleAboveTheButtons) {
  // The page's 9-point font makes it larger than the sheet's own measure of it.
  bool fitted = false;
  UiScript script;
  script.Then(
      [] {
        const HWND sheet = FindSheet();
        if (!sheet) return HWND{};
        const HWND page = Page(sheet);
        const HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
        for (int id : {IDC_CONFIG_FONT_SIZE, IDC_CONFIG_TAB_8, IDC_CONFIG_BUFFER_SIZE,
                       IDC_CONFIG_SELECT_BACK})
          if (!Inside(GetDlgItem(page, id), page) || !Inside(GetDlgItem(page, id), DisplayArea(tabs)))
            return HWND{};
        RECT pageRect, okRect;
        GetWindowRect(page, &pageRect);
        GetWindowRect(GetDlgItem(sheet, IDOK), &okRect);
        return okRect.top >= pageRect.bottom && Inside(GetDlgItem(sheet, IDOK), sheet) ? sheet : HWND{};
      },
      [&](HWND sheet) {
        fitted = true;
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      });
  EXPECT_TRUE(script.Run([] { app.liveConsole().OpenSettingsSheet(MonitorHost::Window()); }, 3000));
  EXPECT_TRUE(fitted);
}

TEST_F(SettingsSheet, FirstOkWritesAll31KeysInOrder) {
  ASSERT_TRUE(RunSheet([](HWND) {}));
  const auto keys = host.Section("console");
  ASSERT_EQ(keys.size(), 31u);
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(keys[i].first, kConsoleKeys[i]);
}

TEST_F(SettingsSheet, OkWithoutChangesWritesEveryValueAndLeavesTheConsole) {
  // A stored family and size that the page lists, so every stored value has its counterpart.
  StoreOfferedFont();
  host.WriteSetting("console", "custom 3", "12345");
  ASSERT_TRUE(RunSheet([](HWND) {}));
  EXPECT_EQ(host.Section("console").size(), 31u);
  EXPECT_EQ(Value(host, "column"), "80");
  EXPECT_EQ(Value(host, "buffer size"), "65536");
  EXPECT_EQ(Value(host, "tabs"), "4");
  EXPECT_EQ(Value(host, "console back 3"), "16776960");
  EXPECT_EQ(Value(host, "custom 3"), "12345");
  EXPECT_EQ(Value(host, "custom 4"), "16777215");
  EXPECT_FALSE(Reconfigured());
}

// Custom colours take the rule of the other colours: only red, green and blue are kept, and a
// value that is no number is the default white.
TEST_F(SettingsSheet, CustomColoursKeepTheirLow24Bits) {
  StoreOfferedFont();
  host.WriteSetting("console", "custom 2", "-1");
  host.WriteSetting("console", "custom 3", "33554687");
  host.WriteSetting("console", "custom 4", "abc");
  ASSERT_TRUE(RunSheet([](HWND) {}));
  EXPECT_EQ(Value(host, "custom 2"), "16777215");
  EXPECT_EQ(Value(host, "custom 3"), "255");
  EXPECT_EQ(Value(host, "custom 4"), "16777215");
}

TEST_F(SettingsSheet, OkWithAnUnlistedFamilyStoresTheFirstListedOneAndReconfigures) {
  host.WriteSetting("console", "text font name", "No Such Family");
  SyncConsoleWithFile();
  const std::string first = FirstFamily();
  std::string selected;
  ASSERT_TRUE(RunSheet([&](HWND page) { selected = Selected(GetDlgItem(page, IDC_CONFIG_FONT_NAME)); }));
  EXPECT_EQ(selected, first);
  EXPECT_EQ(Value(host, "text font name"), first);
  EXPECT_TRUE(Reconfigured());
  EXPECT_STREQ(app.liveConsole().settings.fontName, first.c_str());
}

TEST_F(SettingsSheet, CancelWritesNothing) {
  ASSERT_TRUE(RunSheet([](HWND page) { CheckDlgButton(page, IDC_CONFIG_HEX_MODE, BST_CHECKED); },
                       PSBTN_CANCEL));
  EXPECT_FALSE(host.SettingsFileExists());
  EXPECT_FALSE(Reconfigured());
  EXPECT_EQ(app.liveConsole().settings.hexMode, 0);
}

// OK with a settings file that cannot be written closed the sheet and changed nothing, without a
// word: the console was reconfigured from the file, which still held the old values.
TEST_F(SettingsSheet, OkWithAnUnwritableSettingsFileAppliesTheChoicesAndTellsOnce) {
  char kept[MAX_PATH];
  std::snprintf(kept, sizeof kept, "%s", settingsPath);
  const std::string gone = host.Path("gone") + "\\vigilo.ini";  // a folder that does not exist
  const std::wstring wideGone(gone.begin(), gone.end());
  const std::wstring english = L"The settings could not be saved to";
  // This process runs on code page 1252, where the Japanese caption is no text to look for: the
  // sheet is the dialog with a page, the box the other one with a static text.
  const auto findSheet = [] { return FindThreadDialog([](HWND d) { return Page(d) != nullptr; }); };
  const struct {
    Language language;
    const char* path;
  } cases[] = {{Language::kEnglish, gone.c_str()}, {Language::kJapanese, gone.c_str()}, {Language::kEnglish, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.path) + (c.language == Language::kJapanese ? " in Japanese" : " in English"));
    language = c.language;
    std::snprintf(settingsPath, sizeof settingsPath, "%s", c.path);
    SyncConsoleWithFile();
    int boxes = 0;
    std::wstring told;
    HWND sheet = nullptr;
    UiScript script;
    script.Then(findSheet, [&](HWND found) {
      sheet = found;
      CheckDlgButton(Page(sheet), IDC_CONFIG_HEX_MODE, BST_CHECKED);
      SetNumber(Page(sheet), IDC_CONFIG_WRAP_COLUMN, "120");
      PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    });
    script.Then([&] { return FindThreadDialog([&](HWND d) { return d != sheet && GetDlgItem(d, 0xFFFF); }); },
                [&](HWND box) {
                  ++boxes;
                  told = WideTextOf(GetDlgItem(box, 0xFFFF));
                  PostMessageA(box, WM_COMMAND, IDOK, 0);
                });
    EXPECT_TRUE(script.Run([] { app.liveConsole().OpenSettingsSheet(MonitorHost::Window()); }));
    EXPECT_EQ(boxes, 1);
    if (c.language == Language::kEnglish) {
      EXPECT_EQ(told.find(english), 0u) << "the English text";
    } else {
      EXPECT_EQ(told.find(english), std::wstring::npos) << "the Japanese text";
    }
    EXPECT_NE(told.find(c.path[0] ? wideGone : L"\"vigilo.ini\""), std::wstring::npos) << "the file named";
    EXPECT_EQ(app.liveConsole().settings.hexMode, 1);
    EXPECT_EQ(app.liveConsole().settings.wrapColumn, 120);
    EXPECT_EQ(app.liveConsole().text.wrapColumn, 120u);
    // The sheet opens again on what the console runs with; Cancel keeps it and says nothing.
    bool shown = false;
    UiScript again;
    again.Then(findSheet, [&](HWND found) {
      shown = IsDlgButtonChecked(Page(found), IDC_CONFIG_HEX_MODE) == BST_CHECKED;
      PostMessageA(found, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    });
    EXPECT_TRUE(again.Run([] { app.liveConsole().OpenSettingsSheet(MonitorHost::Window()); }));
    EXPECT_TRUE(shown);
    EXPECT_EQ(app.liveConsole().settings.hexMode, 1);
  }
  language = Language::kEnglish;
  std::snprintf(settingsPath, sizeof settingsPath, "%s", kept);
  EXPECT_FALSE(host.SettingsFileExists());
}

TEST_F(SettingsSheet, CancelReconfiguresWhenTheFileChangedBehindTheConsole) {
  host.WriteSetting("console", "hex mode", "1");  // edited by hand while the monitor runs
  ASSERT_TRUE(RunSheet([](HWND) {}, PSBTN_CANCEL));
  EXPECT_TRUE(Reconfigured());
  EXPECT_EQ(app.liveConsole().settings.hexMode, 1);
}

TEST_F(SettingsSheet, OutOfRangeNumbersRevertToThePreviousValue) {
  host.WriteSetting("console", "column", "100");
  host.WriteSetting("console", "buffer size", "100");
  SyncConsoleWithFile();
  std::string wrapShown, bufferShown;
  ASSERT_TRUE(RunSheet([&](HWND page) {
    EXPECT_EQ(TextOf(GetDlgItem(page, IDC_CONFIG_BUFFER_SIZE)), "100");
    SetNumber(page, IDC_CONFIG_WRAP_COLUMN, "300");
    SetNumber(page, IDC_CONFIG_BUFFER_SIZE, "1048577");
    wrapShown = TextOf(GetDlgItem(page, IDC_CONFIG_WRAP_COLUMN));
    bufferShown = TextOf(GetDlgItem(page, IDC_CONFIG_BUFFER_SIZE));
    // Typed without leaving the box: OK reads it once more.
    SetDlgItemTextA(page, IDC_CONFIG_WRAP_COLUMN, "12abc");
  }));
  EXPECT_EQ(wrapShown, "100");
  EXPECT_EQ(bufferShown, "100");
  EXPECT_EQ(Value(host, "column"), "100");
  EXPECT_EQ(Value(host, "buffer size"), "100");
  EXPECT_EQ(app.liveConsole().settings.bufferSize, 102400);
}

TEST_F(SettingsSheet, LargestAcceptedNumbers) {
  ASSERT_TRUE(RunSheet([](HWND page) {
    SetNumber(page, IDC_CONFIG_WRAP_COLUMN, "256");
    SetNumber(page, IDC_CONFIG_BUFFER_SIZE, "1024");
  }));
  EXPECT_EQ(Value(host, "column"), "256");
  EXPECT_EQ(Value(host, "buffer size"), "1024");
  EXPECT_EQ(app.liveConsole().settings.bufferSize, 1024 * 1024);
  EXPECT_EQ(app.liveConsole().settings.wrapColumn, 256);
}

TEST_F(SettingsSheet, TabWidthButtons) {
  struct Case {
    const char* stored;
    int shownButton;
    const char* written;
  };
  const Case cases[] = {{"2", IDC_CONFIG_TAB_2, "2"}, {"4", IDC_CONFIG_TAB_4, "4"},
                        {"8", IDC_CONFIG_TAB_8, "8"}, {"16", IDC_CONFIG_TAB_8, "8"}};
  for (const Case& c : cases) {
    host.WriteSetting("console", "tabs", c.stored);
    int shown = 0;
    ASSERT_TRUE(RunSheet([&](HWND page) {
      for (int id = IDC_CONFIG_TAB_2; id <= IDC_CONFIG_TAB_8; ++id)
        if (IsDlgButtonChecked(page, id) == BST_CHECKED) shown = id;
    }));
    EXPECT_EQ(shown, c.shownButton) << "tabs " << c.stored;
    EXPECT_EQ(Value(host, "tabs"), c.written) << "tabs " << c.stored;
  }
  // A click on another button is what OK stores.
  ASSERT_TRUE(RunSheet([](HWND page) { PostClick(page, IDC_CONFIG_TAB_2); }));
  // The click is posted: it is handled before the sheet sees the posted OK.
  EXPECT_EQ(Value(host, "tabs"), "2");
  EXPECT_EQ(app.liveConsole().settings.tabSize, 2);
}

TEST_F(SettingsSheet, ScalableFamilyOffersTenSizesAndKeepsAnInBetweenSize) {
  // Find a scalable family: one whose size list is the fixed ten.
  std::vector<std::string> families;
  RunSheet([&](HWND page) { families = ListEntries(GetDlgItem(page, IDC_CONFIG_FONT_NAME)); },
           PSBTN_CANCEL);
  const std::vector<std::string> tenSizes = {" 8", "10", "12", "14", "16", "18", "20", "22", "24", "28"};
  std::string scalable;
  for (const std::string& family : families) {
    host.WriteSetting("console", "text font name", family.c_str());
    std::vector<std::string> sizes;
    RunSheet([&](HWND page) { sizes = ListEntries(GetDlgItem(page, IDC_CONFIG_FONT_SIZE)); },
             PSBTN_CANCEL);
    if (sizes == tenSizes) {
      scalable = family;
      break;
    }
  }
  ASSERT_FALSE(scalable.empty()) << "no scalable fixed-pitch family";
  host.WriteSetting("console", "text font name", scalable.c_str());
  host.WriteSetting("console", "text font size", "15");
  SyncConsoleWithFile();
  std::string selected;
  ASSERT_TRUE(RunSheet([&](HWND page) { selected = Selected(GetDlgItem(page, IDC_CONFIG_FONT_SIZE)); }));
  EXPECT_EQ(selected, "16");
  EXPECT_EQ(Value(host, "text font size"), "15");
  EXPECT_FALSE(Reconfigured());
}

TEST_F(SettingsSheet, OnlyACustomColourChangedIsWrittenWithoutReconfiguring) {
  // The colour chooser edits the custom colours in place; the page saves what it leaves there.
  StoreOfferedFont();
  UiScript script;
  script.Then(FindSheet, [](HWND sheet) { PostClick(Page(sheet), IDC_CONFIG_HEX_BACK); })
      .Then(ColourChooser, [](HWND chooser) { PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0); })
      .Then([] { return ColourChooser() ? nullptr : FindSheet(); },
            [](HWND sheet) { PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0); });
  host.WriteSetting("console", "custom 15", "777");
  ASSERT_TRUE(script.Run([] { app.liveConsole().OpenSettingsSheet(MonitorHost::Window()); }));
  EXPECT_EQ(Value(host, "custom 15"), "777");
  EXPECT_EQ(Value(host, "console back 2"), "16777215");  // the cancelled chooser kept it
  EXPECT_FALSE(Reconfigured());
}

// The console drawn into a memory bitmap, as 0x00RRGGBB pixels, top row first.
struct Rendering {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  COLORREF At(int x, int y) const {
    const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Rows (from the top) holding any pixel of this colour.
  int RowsWith(COLORREF colour) const {
    int rows = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (At(x, y) == colour) {
          ++rows;
          break;
        }
    return rows;
  }
};

// What a window shows after painting itself, copied from the screen.
Rendering Render(HWND window = app.liveConsole().window) {
  Rendering r;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  RECT client;
  GetClientRect(window, &client);
  r.width = client.right;
  r.height = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = r.width;
  info.bmiHeader.biHeight = -r.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HDC screen = GetDC(window);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, r.width, r.height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* p = static_cast<const uint32_t*>(bits);
  r.pixels.assign(p, p + static_cast<size_t>(r.width) * r.height);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return r;
}

TEST_F(SettingsSheet, ChangesReachTheRunningConsole) {
  host.WriteSetting("console", "text font size", "12");
  SyncConsoleWithFile();
  MonitorHost::ResetConsole("HHHH\r\n");
  const Rendering before = Render();
  const int textRowsBefore = before.RowsWith(RGB(0, 0, 0));
  MonitorHost::ResetConsole("HHHH\r\n\x01\x02\r\n");
  const Rendering beforeControls = Render();

  const COLORREF newBack = RGB(0x20, 0x40, 0x80);
  std::string family;
  UiScript script;
  script
      .Then(FindSheet,
            [&](HWND sheet) {
              const HWND page = Page(sheet);
              CheckDlgButton(page, IDC_CONFIG_V_SCROLL, BST_UNCHECKED);
              CheckDlgButton(page, IDC_CONFIG_HEX_MODE, BST_CHECKED);
              SetNumber(page, IDC_CONFIG_WRAP_COLUMN, "120");
              SetNumber(page, IDC_CONFIG_BUFFER_SIZE, "128");
              // The last family and its largest size.
              const HWND names = GetDlgItem(page, IDC_CONFIG_FONT_NAME);
              PickListEntry(page, IDC_CONFIG_FONT_NAME,
                            static_cast<int>(SendMessageA(names, LB_GETCOUNT, 0, 0)) - 1);
              family = Selected(names);
              const HWND sizes = GetDlgItem(page, IDC_CONFIG_FONT_SIZE);
              PickListEntry(page, IDC_CONFIG_FONT_SIZE,
                            static_cast<int>(SendMessageA(sizes, LB_GETCOUNT, 0, 0)) - 1);
              PostClick(page, IDC_CONFIG_NORMAL_BACK);
            })
      .Then(ColourChooser, [&](HWND chooser) { ChooseColour(chooser, newBack); })
      .Then([] { return ColourChooser() ? nullptr : FindSheet(); },
            [](HWND sheet) { PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0); });
  ASSERT_TRUE(script.Run([] { app.liveConsole().OpenSettingsSheet(MonitorHost::Window()); }));

  const ConsoleSettings& now = app.liveConsole().settings;
  EXPECT_TRUE(Reconfigured());
  EXPECT_EQ(now.showVScroll, 0);
  const LONG style = GetWindowLongA(app.liveConsole().window, GWL_STYLE);
  EXPECT_EQ(style & WS_VSCROLL, 0) << "the vertical scroll bar is still shown";
  EXPECT_NE(style & WS_HSCROLL, 0) << "the horizontal scroll bar went too";
  EXPECT_EQ(now.hexMode, 1);
  EXPECT_EQ(now.wrapColumn, 120);
  EXPECT_EQ(now.bufferSize, 128 * 1024);
  EXPECT_EQ(app.liveConsole().text.capacity, 128u * 1024);
  EXPECT_EQ(app.liveConsole().text.wrapColumn, 120u);
  EXPECT_EQ(family, now.fontName);
  EXPECT_GT(now.fontSize, 12);
  EXPECT_EQ(now.normalBack, newBack);
  EXPECT_EQ(Value(host, "console back 1"), std::to_string(newBack));
  EXPECT_EQ(Value(host, "text font name"), family);

  // Hexadecimal display draws the control bytes in the hexadecimal text colour (red).
  const Rendering afterControls = Render();
  EXPECT_GT(afterControls.RowsWith(RGB(255, 0, 0)), 0);
  EXPECT_EQ(beforeControls.RowsWith(RGB(255, 0, 0)), 0);
  MonitorHost::ResetConsole("HHHH\r\n");
  const Rendering after = Render();
  EXPECT_EQ(after.At(after.width / 2, after.height / 2), newBack);
  EXPECT_EQ(before.At(before.width / 2, before.height / 2), RGB(255, 255, 255));
  // The larger font covers more pixel rows with the same text.
  EXPECT_GT(after.RowsWith(RGB(0, 0, 0)), textRowsBefore);
}

// Pixels inside a colour button's coloured area that are not its colour.
int ForeignPixels(const Rendering& button, COLORREF colour) {
  int foreign = 0;
  for (int y = 3; y < button.height - 4; ++y)
    for (int x = 3; x < button.width - 4; ++x) foreign += button.At(x, y) != colour;
  return foreign;
}

TEST_F(SettingsSheet, ColourButtonsShowTheirColourAndTheFocus) {
  int focusedForeign = -1, unfocusedForeign = -1, backForeign = -1;
  COLORREF centre = 0;
  ASSERT_TRUE(RunSheet(
      [&](HWND page) {
        const HWND text = GetDlgItem(page, IDC_CONFIG_NORMAL_TEXT);  // black
        const HWND back = GetDlgItem(page, IDC_CONFIG_NORMAL_BACK);  // white
        SetFocus(text);
        const Rendering focused = Render(text);
        focusedForeign = ForeignPixels(focused, RGB(0, 0, 0));
        centre = focused.At(focused.width / 2, focused.height / 2);
        SetFocus(back);
        unfocusedForeign = ForeignPixels(Render(text), RGB(0, 0, 0));
        backForeign = ForeignPixels(Render(back), RGB(255, 255, 255));
      },
      PSBTN_CANCEL));
  EXPECT_EQ(centre, RGB(0, 0, 0));
  EXPECT_EQ(unfocusedForeign, 0);
  // The dotted focus rectangle runs inside the coloured area.
  EXPECT_GT(focusedForeign, 0);
  EXPECT_GT(backForeign, 0);
}

TEST_F(SettingsSheet, LoweringTheBufferKeepsTheNewestWholeLines) {
  host.WriteSetting("console", "buffer size", "128");
  SyncConsoleWithFile();
  std::string text;
  for (int i = 0; i < 8000; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "line %05d\r\n", i);
    text += line;  // 12 bytes each: 96000 in all
  }
  MonitorHost::ResetConsole(text);
  ASSERT_EQ(MonitorHost::ConsoleText(), text);
  ASSERT_TRUE(RunSheet([](HWND page) { SetNumber(page, IDC_CONFIG_BUFFER_SIZE, "64"); }));
  const std::string kept = MonitorHost::ConsoleText();
  ASSERT_FALSE(kept.empty());
  EXPECT_LE(kept.size(), 65536u);
  EXPECT_EQ(kept.compare(0, 5, "line "), 0);
  EXPECT_EQ(text.compare(text.size() - kept.size(), kept.size(), kept), 0);
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(FontChooserInit, SizeZeroLeavesBothListsEmpty) {
  MonitorHost host;
  // The real page template, modeless, gives the chooser its two lists.
  const HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr),
                                         MAKEINTRESOURCEA(IDD_CONSOLE_CONFIG_EN), nullptr,
                                         InertDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  FontChooser chooser;
  EXPECT_EQ(chooser.Init(dialog, "FixedSys", 0), 0);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_CONFIG_FONT_NAME, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_CONFIG_FONT_SIZE, LB_GETCOUNT, 0, 0), 0);
  EXPECT_STREQ(chooser.fontName, "");
  EXPECT_EQ(chooser.fontSize, 0);
  EXPECT_EQ(chooser.Init(nullptr, "FixedSys", 18), 0);
  EXPECT_EQ(chooser.Init(dialog, nullptr, 18), 0);
  DestroyWindow(dialog);
}

}  // namespace
