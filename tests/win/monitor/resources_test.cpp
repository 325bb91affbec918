// The monitor's resources in both languages: menus, dialogs, icon and toolbar strip load, carry
// the identifiers the code uses and the texts the user reads.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource_ids.h"

namespace {

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

std::wstring MenuText(HMENU menu, UINT item, UINT flags) {
  wchar_t text[128] = L"";
  GetMenuStringW(menu, item, text, 128, flags);
  return text;
}

struct MenuItemCase {
  int command;
  const wchar_t* japanese;
  const wchar_t* english;
  UINT state;  // MF_GRAYED, MF_CHECKED or 0
};

const MenuItemCase kMenuItems[] = {
    {ID_FILE_START_LOG, L"ログをファイルに保存", L"Start Saving Log File", 0},
    {ID_FILE_STOP_LOG, L"ログのファイル保存を中止", L"Stop Saving Log File", MF_GRAYED},
    {ID_FILE_SETTING, L"設定", L"Setting", 0},
    {ID_FILE_EXIT, L"アプリケーションの終了", L"Exit", 0},
    {ID_EDIT_COPY, L"コピー(&C)", L"&Copy", MF_GRAYED},
    {ID_EDIT_SELECT_ALL, L"すべての範囲を選択(&S)", L"All &Select", MF_GRAYED},
    {ID_EDIT_ALL_COPY, L"すべてを選択してコピー(&A)", L"&All Copy", MF_GRAYED},
    {ID_EDIT_ALL_ERASE, L"すべての表示を消去(&E)", L"All &Erase", MF_GRAYED},
    {ID_VIEW_TOOLBAR, L"ツールバー", L"Toolbar", MF_CHECKED},
    {ID_VIEW_STATUS_BAR, L"ステータスバー", L"Status Bar", MF_CHECKED},
    {ID_HELP_TOPICS, L"ヘルプの表示", L"Help Topics", 0},
    {ID_HELP_LANGUAGE, L"言語設定", L"Choosse Language", 0},
    {ID_HELP_ABOUT, L"バージョン情報", L"About Tellit Message Monitor...", 0},
};

void CheckMenu(int resource, bool japanese) {
  SCOPED_TRACE(resource);
  const HMENU menu = LoadMenuA(Self(), MAKEINTRESOURCEA(resource));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 4);
  const wchar_t* popups[2][4] = {{L"&File", L"&Edit", L"&View", L"&Help"},
                                 {L"ファイル(&F)", L"編集(&E)", L"表示(&V)", L"ヘルプ(&H)"}};
  for (UINT i = 0; i < 4; ++i) EXPECT_EQ(MenuText(menu, i, MF_BYPOSITION), popups[japanese][i]);
  for (const auto& item : kMenuItems) {
    const UINT state = GetMenuState(menu, static_cast<UINT>(item.command), MF_BYCOMMAND);
    ASSERT_NE(state, static_cast<UINT>(-1)) << "command " << item.command;
    EXPECT_EQ(state & (MF_GRAYED | MF_CHECKED), item.state) << "command " << item.command;
    EXPECT_EQ(MenuText(menu, static_cast<UINT>(item.command), MF_BYCOMMAND),
              japanese ? item.japanese : item.english);
  }
  // Paste lives only in the console's context menu.
  EXPECT_EQ(GetMenuState(menu, ID_EDIT_PASTE, MF_BYCOMMAND), static_cast<UINT>(-1));
  // Item order inside the File and Help pop-ups, separators included.
  const HMENU file = GetSubMenu(menu, 0);
  const int fileOrder[] = {ID_FILE_START_LOG, ID_FILE_STOP_LOG, 0, ID_FILE_SETTING, 0, ID_FILE_EXIT};
  ASSERT_EQ(GetMenuItemCount(file), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(static_cast<int>(GetMenuItemID(file, i)), fileOrder[i]);
  const HMENU help = GetSubMenu(menu, 3);
  const int helpOrder[] = {ID_HELP_TOPICS, 0, ID_HELP_LANGUAGE, 0, ID_HELP_ABOUT};
  ASSERT_EQ(GetMenuItemCount(help), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(static_cast<int>(GetMenuItemID(help, i)), helpOrder[i]);
  DestroyMenu(menu);
}

TEST(MonitorResources, MainMenusCarryEveryCommandInBothLanguages) {
  CheckMenu(IDR_MENU_JAPANESE, true);
  CheckMenu(IDR_MENU_ENGLISH, false);
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

std::wstring Text(HWND window) {
  wchar_t text[128] = L"";
  GetWindowTextW(window, text, 128);
  return text;
}

struct DialogCase {
  int resource;
  const wchar_t* caption;
  std::vector<int> controls;
  std::vector<std::pair<int, const wchar_t*>> texts;
};

TEST(MonitorResources, DialogsLoadWithTheirControlsInBothLanguages) {
  const DialogCase cases[] = {
      {IDD_ABOUT_JA, L"Tellit Message Monitorについて", {IDC_VERSION_LABEL, IDOK}, {{IDOK, L"OK"}}},
      {IDD_ABOUT_EN, L"About Tellit Message Monitor", {IDC_VERSION_LABEL, IDOK}, {{IDOK, L"OK"}}},
      {IDD_LANGUAGE_JA, L"言語設定", {IDC_LANGUAGE_COMBO, IDOK, IDCANCEL}, {{IDOK, L"OK"}, {IDCANCEL, L"キャンセル"}}},
      {IDD_LANGUAGE_EN, L"Choose Language", {IDC_LANGUAGE_COMBO, IDOK, IDCANCEL}, {{IDOK, L"OK"}, {IDCANCEL, L"Cancel"}}},
      {IDD_LOG_FILE_JA, nullptr, {IDC_LOG_FILE_NAME, IDC_LOG_BROWSE, IDC_LOG_SAVE_CONSOLE, IDOK, IDCANCEL}, {}},
      {IDD_LOG_FILE_EN, nullptr, {IDC_LOG_FILE_NAME, IDC_LOG_BROWSE, IDC_LOG_SAVE_CONSOLE, IDOK, IDCANCEL}, {}},
      {IDD_CONSOLE_CONFIG_JA, L"表示", {IDC_CONFIG_V_SCROLL, IDC_CONFIG_WRAP_COLUMN, IDC_CONFIG_BUFFER_SIZE, IDC_CONFIG_FONT_NAME}, {}},
      {IDD_CONSOLE_CONFIG_EN, L"Console", {IDC_CONFIG_V_SCROLL, IDC_CONFIG_WRAP_COLUMN, IDC_CONFIG_BUFFER_SIZE, IDC_CONFIG_FONT_NAME}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.resource);
    const HWND dialog = CreateDialogParamW(Self(), MAKEINTRESOURCEW(c.resource), nullptr, QuietDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    if (c.caption) {
      EXPECT_EQ(Text(dialog), c.caption);
    }
    for (int id : c.controls) EXPECT_NE(GetDlgItem(dialog, id), nullptr) << "control " << id;
    for (const auto& [id, text] : c.texts) EXPECT_EQ(Text(GetDlgItem(dialog, id)), text);
    DestroyWindow(dialog);
  }
}

TEST(MonitorResources, AboutBoxShowsTheNameAndTheLanguageComboIsAnUnsortedList) {
  for (int resource : {IDD_ABOUT_JA, IDD_ABOUT_EN}) {
    const HWND dialog = CreateDialogParamW(Self(), MAKEINTRESOURCEW(resource), nullptr, QuietDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    bool found = false;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      found = found || Text(child) == L"Tellit Message Monitor";
    }
    EXPECT_TRUE(found) << resource;
    DestroyWindow(dialog);
  }
  for (int resource : {IDD_LANGUAGE_JA, IDD_LANGUAGE_EN}) {
    const HWND dialog = CreateDialogParamW(Self(), MAKEINTRESOURCEW(resource), nullptr, QuietDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    const LONG style = GetWindowLongA(GetDlgItem(dialog, IDC_LANGUAGE_COMBO), GWL_STYLE);
    EXPECT_EQ(style & 0x3, CBS_DROPDOWNLIST);
    EXPECT_EQ(style & CBS_SORT, 0) << "English must stay first";
    DestroyWindow(dialog);
  }
}

TEST(MonitorResources, IconHas32And16PixelImages) {
  const HRSRC group = FindResourceA(Self(), MAKEINTRESOURCEA(IDI_VIGILO), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(Self(), group)));
  ASSERT_NE(directory, nullptr);
  const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
  std::vector<int> sizes;
  for (WORD i = 0; i < count; ++i) sizes.push_back(directory[6 + 14 * i]);  // bWidth of each entry
  EXPECT_EQ(sizes, (std::vector<int>{32, 16}));
  for (int size : {32, 16}) {
    const HANDLE icon = LoadImageA(Self(), MAKEINTRESOURCEA(IDI_VIGILO), IMAGE_ICON, size, size, 0);
    EXPECT_NE(icon, nullptr) << size;
    if (icon) DestroyIcon(static_cast<HICON>(icon));
  }
}

TEST(MonitorResources, ToolbarStripIsNineImagesOf16By15In16Colours) {
  const HANDLE bitmap = LoadImageA(Self(), MAKEINTRESOURCEA(IDB_TOOLBAR), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  ASSERT_NE(bitmap, nullptr);
  DIBSECTION section = {};
  ASSERT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
  EXPECT_EQ(section.dsBmih.biWidth, 9 * 16);
  EXPECT_EQ(section.dsBmih.biHeight, 15);
  EXPECT_EQ(section.dsBmih.biBitCount, 4);
  // No image is blank: each differs from the button face somewhere.
  const HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  for (int image = 0; image < 9; ++image) {
    int drawn = 0;
    for (int y = 0; y < 15; ++y) {
      for (int x = 0; x < 16; ++x) drawn += GetPixel(dc, image * 16 + x, y) != RGB(0xC0, 0xC0, 0xC0);
    }
    EXPECT_GT(drawn, 20) << "image " << image;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

}  // namespace
