// ConsoleConfigPage1: filling the page, its commands and colour buttons, and writing section "console" on OK.
#include "monitor/settings/console_config_page.h"

#include <commctrl.h>
#include <commdlg.h>
#include <prsht.h>

#include <cstdio>

#include "scoped/scoped_win.h"
#include "monitor/settings/console_settings_table.h"
#include "monitor/resources/log_settings_ids.h"
#include "monitor/settings/settings_file.h"

namespace {

using namespace console_settings_table;

constexpr int kTabWidths[3] = {2, 4, 8};  // buttons 1105, 1106, 1107
constexpr int kColourButtonCount = static_cast<int>(sizeof kColourButtons / sizeof kColourButtons[0]);

int TabIndex(int tabSize) {
  if (tabSize == 2) return 0;
  if (tabSize == 4) return 1;
  return 2;  // every other width shows, and is written back, as 8
}

struct CustomColourKey {
  explicit CustomColourKey(int index) { std::snprintf(key, sizeof key, "custom %d", index); }
  char key[16];
};

bool IsColourButton(int id) { return id >= IDC_CONFIG_NORMAL_TEXT && id <= IDC_CONFIG_SELECT_BACK; }

// Posted at initialisation: the sheet sizes and places the page only after WM_INITDIALOG.
constexpr UINT kFitSheet = WM_APP + 1;
// The page template's size in its own dialog units.
constexpr int kPageWidth = 300;
constexpr int kPageHeight = 190;
// The sheet's buttons below the page (Apply is 0x3021 in the sheet's template).
constexpr int kSheetButtons[] = {IDOK, IDCANCEL, IDHELP, 0x3021};

void Grow(HWND window, int dx, int dy) {
  RECT r;
  GetWindowRect(window, &r);
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dx, r.bottom - r.top + dy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Move(HWND window, HWND parent, int dx, int dy) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  SetWindowPos(window, nullptr, r.left + dx, r.top + dy, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

ConsoleConfigPage1::ConsoleConfigPage1(HWND ownerWindow, ConsoleSettings* working)
    : settings(working) {
  owner = ownerWindow;
}

ConsoleConfigPage1::~ConsoleConfigPage1() = default;

void ConsoleConfigPage1::OnInitDialog() {
  const ConsoleSettings& w = *settings;
  vScrollBox.Bind(hwnd, IDC_CONFIG_V_SCROLL, w.showVScroll);
  hScrollBox.Bind(hwnd, IDC_CONFIG_H_SCROLL, w.showHScroll);
  hexModeBox.Bind(hwnd, IDC_CONFIG_HEX_MODE, w.hexMode);
  autoScrollBox.Bind(hwnd, IDC_CONFIG_AUTO_SCROLL, w.autoScroll);
  tabButtons.Bind(hwnd, IDC_CONFIG_TAB_2, 3, TabIndex(w.tabSize));
  const Row& column = *Find("column");
  const Row& bufferSize = *Find("buffer size");
  wrapColumnBox.Bind(hwnd, IDC_CONFIG_WRAP_COLUMN, w.wrapColumn, column.low, column.high);
  bufferSizeBox.Bind(hwnd, IDC_CONFIG_BUFFER_SIZE, NumberToFile(bufferSize, w), bufferSize.low, bufferSize.high);
  fonts.Init(hwnd, w.fontName, w.fontSize);

  for (int i = 0; i < kColourButtonCount; ++i) colors[i] = w.*kColourButtons[i];

  for (int i = 0; i < kCustomColours; ++i) {
    customColors[i] = ColourFromFile(
        static_cast<uint32_t>(ReadSettingInt(kSection, CustomColourKey(i).key, static_cast<int>(kCustomColourDefault))));
  }
  PostMessageA(hwnd, kFitSheet, 0, 0);
}

// The sheet measures pages in its own font's dialog units; a page laid out in a larger font
// (9 point here against the sheet's 8) would be cut off at the right and the bottom of the tab
// control's display area. Grow the sheet, its tab control and the page by the difference and
// move the buttons along.
void ConsoleConfigPage1::FitSheetToPage() const {
  const HWND sheet = GetParent(hwnd);
  const HWND tabs = sheet ? reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0)) : nullptr;
  if (!tabs) return;
  RECT need = {0, 0, kPageWidth, kPageHeight};
  MapDialogRect(hwnd, &need);
  RECT display;
  GetClientRect(tabs, &display);
  TabCtrl_AdjustRect(tabs, FALSE, &display);
  MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&display), 2);
  RECT page;
  GetWindowRect(hwnd, &page);
  // What shows of the page: from its corner to the nearer of its own edge and the display's.
  const int shownWidth = (page.right < display.right ? page.right : display.right) - page.left;
  const int shownHeight = (page.bottom < display.bottom ? page.bottom : display.bottom) - page.top;
  const int dx = need.right > shownWidth ? need.right - shownWidth : 0;
  const int dy = need.bottom > shownHeight ? need.bottom - shownHeight : 0;
  if (dx == 0 && dy == 0) return;
  Grow(sheet, dx, dy);
  Grow(tabs, dx, dy);
  SetWindowPos(hwnd, nullptr, 0, 0, need.right, need.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (int id : kSheetButtons)
    if (const HWND button = GetDlgItem(sheet, id)) Move(button, sheet, dx, dy);
  InvalidateRect(sheet, nullptr, TRUE);
}

void ConsoleConfigPage1::OnCommand(const DialogCommand& command) {
  switch (command.id) {
    case IDC_CONFIG_TAB_2:
    case IDC_CONFIG_TAB_4:
    case IDC_CONFIG_TAB_8:
      tabButtons.Click(command.id);
      return;
    case IDC_CONFIG_FONT_NAME:
      if (command.code == LBN_SELCHANGE && fonts.nameList) {
        const LRESULT selected = SendMessageA(fonts.nameList, LB_GETCURSEL, 0, 0);
        const LRESULT length = SendMessageA(fonts.nameList, LB_GETTEXTLEN, selected, 0);
        if (selected != LB_ERR && length != LB_ERR && length < static_cast<LRESULT>(sizeof fonts.fontName))
          SendMessageA(fonts.nameList, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(fonts.fontName));
        fonts.FillSizes();
      }
      return;
    case IDC_CONFIG_FONT_SIZE:
      if (command.code == LBN_SELCHANGE) {
        const HWND list = GetDlgItem(hwnd, IDC_CONFIG_FONT_SIZE);
        const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
        fonts.fontSize = selected == LB_ERR
                             ? 0
                             : static_cast<int32_t>(SendMessageA(list, LB_GETITEMDATA, selected, 0));
      }
      return;
    case IDC_CONFIG_WRAP_COLUMN:
      // An out-of-range entry reverts as soon as the box loses the focus.
      if (command.code == EN_KILLFOCUS) wrapColumnBox.Read();
      return;
    case IDC_CONFIG_BUFFER_SIZE:
      if (command.code == EN_KILLFOCUS) bufferSizeBox.Read();
      return;
    default:
      if (IsColourButton(command.id)) ChooseColour(command.id - IDC_CONFIG_NORMAL_TEXT);
      return;
  }
}

void ConsoleConfigPage1::ChooseColour(int index) {
  CHOOSECOLORA request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = hwnd;
  request.rgbResult = colors[index];
  request.lpCustColors = customColors;  // edited in place; kept on OK whatever the choice
  request.Flags = CC_RGBINIT;
  if (!ChooseColorA(&request)) return;
  colors[index] = request.rgbResult;
  InvalidateRect(hwnd, nullptr, TRUE);
}

INT_PTR ConsoleConfigPage1::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  if (message == kFitSheet) {
    FitSheetToPage();
    return TRUE;
  }
  if (message != WM_DRAWITEM) return 0;
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (item && IsColourButton(static_cast<int>(item->CtlID))) DrawColourButton(*item);
  return TRUE;
}

void ConsoleConfigPage1::DrawColourButton(const DRAWITEMSTRUCT& item) const {
  RECT frame = item.rcItem;
  // Always the raised look: the pressed state is not drawn.
  DrawFrameControl(item.hDC, &frame, DFC_BUTTON, DFCS_BUTTONPUSH);
  RECT inner = item.rcItem;
  inner.left += 3;
  inner.top += 3;
  inner.right -= 4;
  inner.bottom -= 4;
  scoped::SolidBrush brush(colors[item.CtlID - IDC_CONFIG_NORMAL_TEXT]);
  {
    scoped::Select selected(item.hDC, brush.get());
    FillRect(item.hDC, &inner, brush.get());
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &inner);
}

void ConsoleConfigPage1::OnApply() {
  ConsoleSettings& w = *settings;
  w.showVScroll = vScrollBox.IsChecked();
  w.showHScroll = hScrollBox.IsChecked();
  w.hexMode = hexModeBox.IsChecked();
  w.autoScroll = autoScrollBox.IsChecked();
  w.wrapColumn = wrapColumnBox.Read();
  w.bufferSize = bufferSizeBox.Read() * 1024;
  std::snprintf(w.fontName, sizeof w.fontName, "%s", fonts.fontName);
  w.fontSize = fonts.fontSize;
  const int tab = tabButtons.Selected();
  w.tabSize = tab == RadioGroup::kNone ? 2 : kTabWidths[tab];
  for (int i = 0; i < kColourButtonCount; ++i) w.*kColourButtons[i] = colors[i];
  applied = true;
  saved = WriteSettings();
}

bool ConsoleConfigPage1::WriteSettings() const {
  const ConsoleSettings& w = *settings;
  bool written = true;
  // Every key, changed or not, in the file's usual order.
  for (std::size_t i = 0; i < kRowCount; ++i) {
    const Row& row = kRows[i];
    if (row.number) {
      written &= WriteSettingInt(kSection, row.key, NumberToFile(row, w));
    } else if (row.colour) {
      written &= WriteSettingInt(kSection, row.key, static_cast<int>(w.*row.colour));
    } else {
      written &= WriteSettingString(kSection, row.key, w.fontName);
    }
  }
  for (int i = 0; i < kCustomColours; ++i) {
    written &= WriteSettingInt(kSection, CustomColourKey(i).key, static_cast<int>(customColors[i]));
  }
  return written;
}
