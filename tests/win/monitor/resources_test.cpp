// The monitor's resources in both languages: menus, dialogs, icon and toolbar strip load, carry
// the identifiers the code uses and the texts the user reads.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
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
    {ID_FILE_OPEN, L"開く(&O)...\tCtrl+O", L"&Open...\tCtrl+O", 0},
    {ID_FILE_SAVE_AS, L"名前を付けて保存(&A)...", L"Save &As...", 0},
    {ID_FILE_FOLLOW, L"追跡(&L)", L"Fo&llow", MF_GRAYED},
    {ID_FILE_CLOSE_FILE, L"ファイルを閉じる(&C)", L"&Close File", MF_GRAYED},
    {ID_FILE_START_LOG, L"ログをファイルに保存", L"Start Saving Log File", 0},
    {ID_FILE_STOP_LOG, L"ログのファイル保存を中止", L"Stop Saving Log File", MF_GRAYED},
    {ID_FILE_SETTING, L"設定", L"Setting", 0},
    {ID_FILE_EXIT, L"アプリケーションの終了", L"Exit", 0},
    {ID_EDIT_COPY, L"コピー(&C)", L"&Copy", MF_GRAYED},
    {ID_EDIT_SELECT_ALL, L"すべての範囲を選択(&S)", L"All &Select", MF_GRAYED},
    {ID_EDIT_ALL_COPY, L"すべてを選択してコピー(&A)", L"&All Copy", MF_GRAYED},
    {ID_EDIT_ALL_ERASE, L"すべてのビューの表示を消去(&E)", L"All &Erase (Every View)", MF_GRAYED},
    {ID_EDIT_FIND, L"検索(&F)...", L"&Find...", 0},
    {ID_EDIT_FIND_NEXT, L"次を検索(&N)", L"Find &Next", 0},
    {ID_VIEW_TOOLBAR, L"ツールバー", L"Toolbar", MF_CHECKED},
    {ID_VIEW_STATUS_BAR, L"ステータスバー", L"Status Bar", MF_CHECKED},
    {ID_VIEW_DEBUG_OUTPUT, L"OutputDebugString の取り込み", L"Capture OutputDebugString", 0},
    {ID_VIEW_GLOBAL_DEBUG_OUTPUT, L"グローバルなデバッグ出力をキャプチャ", L"Capture Global Debug Output", 0},
    {ID_VIEW_TIME_STAMPS, L"時刻の表示", L"Time Stamps", 0},
    {ID_VIEW_STAMP_CLOCK, L"時刻", L"Clock", 0},
    {ID_VIEW_STAMP_DATE, L"日付と時刻", L"Date and Clock", 0},
    {ID_VIEW_STAMP_ELAPSED, L"開始または消去からの経過時間", L"Elapsed since Start or Erase", 0},
    {ID_VIEW_STAMP_DELTA, L"前の行からの時間", L"Since the Line Before", 0},
    {ID_VIEW_STAMP_SENT, L"送信した時刻", L"Sender's Time", 0},
    {ID_VIEW_STAMP_ARRIVAL, L"受信した時刻", L"Arrival Time", 0},
    {ID_VIEW_SENDERS, L"送信元", L"Senders", 0},
    {ID_VIEW_FILTER, L"フィルター", L"Filter", MF_CHECKED},
    {ID_VIEW_NEW, L"新しいビュー", L"New View", 0},
    {ID_VIEW_CLOSE, L"ビューを閉じる", L"Close View", MF_GRAYED},
    {ID_VIEW_NEXT, L"次のビュー", L"Next View", 0},
    {ID_VIEW_RENAME, L"ビューの名前を変更...", L"Rename View...", 0},
    {ID_EDIT_FILTER, L"フィルター...", L"Filter...", 0},
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
  const int fileOrder[] = {ID_FILE_OPEN, ID_FILE_SAVE_AS, ID_FILE_FOLLOW, ID_FILE_CLOSE_FILE, 0, ID_FILE_START_LOG,
                           ID_FILE_STOP_LOG, 0, ID_FILE_SETTING, 0, ID_FILE_EXIT};
  ASSERT_EQ(GetMenuItemCount(file), 11);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(static_cast<int>(GetMenuItemID(file, i)), fileOrder[i]);
  const HMENU edit = GetSubMenu(menu, 1);
  const int editOrder[] = {ID_EDIT_COPY,      0, ID_EDIT_SELECT_ALL, ID_EDIT_ALL_COPY, ID_EDIT_ALL_ERASE,
                           0, ID_EDIT_FIND, ID_EDIT_FIND_NEXT, 0, ID_EDIT_FILTER};
  ASSERT_EQ(GetMenuItemCount(edit), 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(static_cast<int>(GetMenuItemID(edit, i)), editOrder[i]);
  // Shift+F3 is a shortcut only.
  EXPECT_EQ(GetMenuState(menu, ID_EDIT_FIND_PREVIOUS, MF_BYCOMMAND), static_cast<UINT>(-1));
  const HMENU view = GetSubMenu(menu, 2);
  // The form's pop-up (-1) follows Time Stamps.
  const int viewOrder[] = {ID_VIEW_TOOLBAR,     ID_VIEW_STATUS_BAR, ID_VIEW_DEBUG_OUTPUT, ID_VIEW_GLOBAL_DEBUG_OUTPUT,
                           ID_VIEW_TIME_STAMPS, -1, ID_VIEW_SENDERS,    ID_VIEW_FILTER, 0, ID_VIEW_NEW,
                           ID_VIEW_CLOSE, ID_VIEW_NEXT, ID_VIEW_RENAME};
  ASSERT_EQ(GetMenuItemCount(view), 13);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(static_cast<int>(GetMenuItemID(view, i)), viewOrder[i]);
  EXPECT_EQ(MenuText(view, 5, MF_BYPOSITION), japanese ? L"時刻の形式" : L"Time Stamp Form");
  const HMENU forms = GetSubMenu(view, 5);
  const int formOrder[] = {ID_VIEW_STAMP_CLOCK, ID_VIEW_STAMP_DATE, ID_VIEW_STAMP_ELAPSED, ID_VIEW_STAMP_DELTA, 0,
                           ID_VIEW_STAMP_SENT,  ID_VIEW_STAMP_ARRIVAL};
  ASSERT_EQ(GetMenuItemCount(forms), 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(static_cast<int>(GetMenuItemID(forms, i)), formOrder[i]);
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

// One table for both languages: Ctrl+F, Ctrl+L, F3 and Shift+F3, the views' Ctrl+T, Ctrl+W,
// Ctrl+Tab and Ctrl+Shift+Tab, and nothing else taken from the keyboard.
TEST(MonitorResources, ShortcutsAreCtrlFCtrlLF3ShiftF3AndTheViews) {
  const HACCEL table = LoadAcceleratorsA(Self(), MAKEINTRESOURCEA(IDR_ACCELERATORS));
  ASSERT_NE(table, nullptr);
  ACCEL entries[16] = {};
  const int count = CopyAcceleratorTableA(table, entries, 16);
  ASSERT_EQ(count, 9);
  const struct {
    BYTE flags;
    WORD key;
    WORD command;
  } expected[] = {{FVIRTKEY | FCONTROL, 'F', ID_EDIT_FIND},
                  {FVIRTKEY | FCONTROL, 'L', ID_EDIT_FILTER},
                  {FVIRTKEY | FCONTROL, 'O', ID_FILE_OPEN},
                  {FVIRTKEY, VK_F3, ID_EDIT_FIND_NEXT},
                  {FVIRTKEY | FSHIFT, VK_F3, ID_EDIT_FIND_PREVIOUS},
                  {FVIRTKEY | FCONTROL, 'T', ID_VIEW_NEW},
                  {FVIRTKEY | FCONTROL, 'W', ID_VIEW_CLOSE},
                  {FVIRTKEY | FCONTROL, VK_TAB, ID_VIEW_NEXT},
                  {FVIRTKEY | FCONTROL | FSHIFT, VK_TAB, ID_VIEW_PREVIOUS}};
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(entries[i].fVirt & ~0x80, expected[i].flags) << i;  // 0x80 marks the table's last entry
    EXPECT_EQ(entries[i].key, expected[i].key) << i;
    EXPECT_EQ(entries[i].cmd, expected[i].command) << i;
  }
}

// The controls the filter dialogs' code looks up.
const std::vector<int> kFilterControls = {IDC_FILTER_LIST, IDC_FILTER_ADD, IDC_FILTER_EDIT, IDC_FILTER_REMOVE,
                                          IDC_FILTER_UP, IDC_FILTER_DOWN, IDOK, IDCANCEL};
const std::vector<int> kFilterRuleControls = {
    IDC_FILTER_RULE_ACTION,      IDC_FILTER_RULE_FIELD,       IDC_FILTER_RULE_PATTERN, IDC_FILTER_RULE_MATCH_CASE,
    IDC_FILTER_RULE_ENABLED,     IDC_FILTER_RULE_TEXT_COLOUR, IDC_FILTER_RULE_BACK_COLOUR,
    IDC_FILTER_RULE_SAMPLE,      IDOK,                        IDCANCEL};

TEST(MonitorResources, DialogsLoadWithTheirControlsInBothLanguages) {
  InitCommonControls();  // the filter dialog's list view, as the monitor registers it at start-up
  const DialogCase cases[] = {
      {IDD_ABOUT_JA, L"Tellit Message Monitorについて", {IDC_VERSION_LABEL, IDOK}, {{IDOK, L"OK"}}},
      {IDD_ABOUT_EN, L"About Tellit Message Monitor", {IDC_VERSION_LABEL, IDOK}, {{IDOK, L"OK"}}},
      {IDD_LANGUAGE_JA, L"言語設定", {IDC_LANGUAGE_COMBO, IDOK, IDCANCEL}, {{IDOK, L"OK"}, {IDCANCEL, L"キャンセル"}}},
      {IDD_LANGUAGE_EN, L"Choose Language", {IDC_LANGUAGE_COMBO, IDOK, IDCANCEL}, {{IDOK, L"OK"}, {IDCANCEL, L"Cancel"}}},
      {IDD_RENAME_VIEW_JA, L"ビューの名前の変更", {IDC_VIEW_NAME, IDOK, IDCANCEL}, {{IDOK, L"OK"}, {IDCANCEL, L"キャンセル"}}},
      {IDD_RENAME_VIEW_EN, L"Rename View", {IDC_VIEW_NAME, IDOK, IDCANCEL}, {{IDOK, L"OK"}, {IDCANCEL, L"Cancel"}}},
      {IDD_LOG_FILE_JA, nullptr,
       {IDC_LOG_FILE_NAME, IDC_LOG_BROWSE, IDC_LOG_SAVE_CONSOLE, IDC_LOG_MAX_SIZE, IDC_LOG_KEEP, IDC_LOG_UTF8, IDOK,
        IDCANCEL}, {}},
      {IDD_LOG_FILE_EN, nullptr,
       {IDC_LOG_FILE_NAME, IDC_LOG_BROWSE, IDC_LOG_SAVE_CONSOLE, IDC_LOG_MAX_SIZE, IDC_LOG_KEEP, IDC_LOG_UTF8, IDOK,
        IDCANCEL}, {}},
      {IDD_CONSOLE_CONFIG_JA, L"表示", {IDC_CONFIG_V_SCROLL, IDC_CONFIG_WRAP_COLUMN, IDC_CONFIG_BUFFER_SIZE, IDC_CONFIG_FONT_NAME}, {}},
      {IDD_CONSOLE_CONFIG_EN, L"Console", {IDC_CONFIG_V_SCROLL, IDC_CONFIG_WRAP_COLUMN, IDC_CONFIG_BUFFER_SIZE, IDC_CONFIG_FONT_NAME}, {}},
      {IDD_FILTER_JA, L"フィルター", kFilterControls, {{IDC_FILTER_ADD, L"追加..."}, {IDCANCEL, L"キャンセル"}}},
      {IDD_FILTER_EN, L"Filters", kFilterControls, {{IDC_FILTER_ADD, L"Add..."}, {IDCANCEL, L"Cancel"}}},
      {IDD_FILTER_RULE_JA, L"フィルターの条件", kFilterRuleControls, {{IDC_FILTER_RULE_ENABLED, L"有効"}}},
      {IDD_FILTER_RULE_EN, L"Filter Rule", kFilterRuleControls, {{IDC_FILTER_RULE_ENABLED, L"Enabled"}}},
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

// --- Dialog templates read from the resources, control by control -------------------------

// One control as its template stores it.
struct TemplateItem {
  DWORD style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;
  WORD classAtom = 0;  // 0x80 button, 0x81 edit, 0x82 static, 0x83 list box, 0x85 combo box
  std::wstring text;
  WORD textOrdinal = 0;  // an icon's resource number
};

struct DialogTemplateData {
  DWORD style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::wstring caption;
  WORD pointSize = 0;
  std::wstring face;
  std::vector<TemplateItem> items;
};

// Reads the DLGTEMPLATE or DLGTEMPLATEEX layout: a header, then DWORD-aligned items.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* start) : start_(start), at_(start) {}
  WORD Word() {
    WORD value;
    std::memcpy(&value, at_, 2);
    at_ += 2;
    return value;
  }
  DWORD Dword() {
    DWORD value;
    std::memcpy(&value, at_, 4);
    at_ += 4;
    return value;
  }
  short Short() { return static_cast<short>(Word()); }
  std::wstring String() {
    std::wstring text;
    for (WORD c = Word(); c != 0; c = Word()) text += static_cast<wchar_t>(c);
    return text;
  }
  // A name or an ordinal (0xFFFF and a number).
  void NameOrOrdinal(std::wstring* text, WORD* ordinal) {
    WORD first;
    std::memcpy(&first, at_, 2);
    if (first == 0xFFFF) {
      at_ += 2;
      *ordinal = Word();
    } else {
      *text = String();
    }
  }
  void AlignDword() { at_ = start_ + ((at_ - start_ + 3) & ~static_cast<std::ptrdiff_t>(3)); }
  void Skip(size_t bytes) { at_ += bytes; }

 private:
  const BYTE* start_;
  const BYTE* at_;
};

DialogTemplateData ReadDialogTemplate(int resource) {
  DialogTemplateData data;
  const HRSRC found = FindResourceA(Self(), MAKEINTRESOURCEA(resource), MAKEINTRESOURCEA(5));  // RT_DIALOG
  if (!found) return data;
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(Self(), found)));
  if (!bytes) return data;
  TemplateReader in(bytes);
  const bool extended = bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
  WORD count = 0;
  if (extended) {
    in.Skip(4 + 4 + 4);  // version and signature, help id, extended style
    data.style = in.Dword();
  } else {
    data.style = in.Dword();
    in.Skip(4);  // extended style
  }
  count = in.Word();
  data.x = in.Short();
  data.y = in.Short();
  data.cx = in.Short();
  data.cy = in.Short();
  std::wstring unusedText;
  WORD unusedOrdinal = 0;
  in.NameOrOrdinal(&unusedText, &unusedOrdinal);  // menu
  in.NameOrOrdinal(&unusedText, &unusedOrdinal);  // window class
  data.caption = in.String();
  if (data.style & DS_SETFONT) {
    data.pointSize = in.Word();
    if (extended) in.Skip(2 + 1 + 1);  // weight, italic, character set
    data.face = in.String();
  }
  for (WORD i = 0; i < count; ++i) {
    in.AlignDword();
    TemplateItem item;
    if (extended) {
      in.Skip(4 + 4);  // help id, extended style
      item.style = in.Dword();
    } else {
      item.style = in.Dword();
      in.Skip(4);
    }
    item.x = in.Short();
    item.y = in.Short();
    item.cx = in.Short();
    item.cy = in.Short();
    item.id = extended ? static_cast<int>(in.Dword()) : static_cast<short>(in.Word());
    std::wstring className;
    in.NameOrOrdinal(&className, &item.classAtom);
    // A CONTROL statement names its class; the others give the predefined class's atom.
    const struct {
      const wchar_t* name;
      WORD atom;
    } classes[] = {{L"BUTTON", 0x80}, {L"EDIT", 0x81}, {L"STATIC", 0x82}, {L"LISTBOX", 0x83}, {L"COMBOBOX", 0x85}};
    for (const auto& known : classes) {
      if (!className.empty() && _wcsicmp(className.c_str(), known.name) == 0) item.classAtom = known.atom;
    }
    in.NameOrOrdinal(&item.text, &item.textOrdinal);
    in.Skip(in.Word());  // creation data
    data.items.push_back(item);
  }
  return data;
}

constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kComboBox = 0x85;

// A control as the dialog tables describe it. widened: the text needs more room than the table
// gives it (the Japanese texts especially); the control keeps its row, kind, style and text.
struct ExpectedItem {
  int id;
  WORD classAtom;
  DWORD kind;       // the low four style bits: the button or static kind (0 for the others)
  DWORD required;   // style bits that must be set
  DWORD forbidden;  // style bits that must be clear
  int x, y, cx, cy;
  const wchar_t* japanese;  // nullptr: not checked
  const wchar_t* english;
  bool widenedJapanese;
  bool widenedEnglish;
};

struct ExpectedDialog {
  int japanese, english;
  DWORD style;
  int x, y, cx, cy;
  const wchar_t* captionJapanese;
  const wchar_t* captionEnglish;
  std::vector<ExpectedItem> items;
};

void CheckDialogTemplate(const ExpectedDialog& expected, bool inJapanese) {
  const int resource = inJapanese ? expected.japanese : expected.english;
  SCOPED_TRACE(resource);
  const DialogTemplateData data = ReadDialogTemplate(resource);
  EXPECT_EQ(data.style, expected.style | WS_POPUP);
  EXPECT_EQ(data.cx, expected.cx);
  EXPECT_EQ(data.cy, expected.cy);
  if (expected.x >= 0) {
    EXPECT_EQ(data.x, expected.x);
    EXPECT_EQ(data.y, expected.y);
  }
  EXPECT_EQ(data.caption, inJapanese ? expected.captionJapanese : expected.captionEnglish);
  EXPECT_EQ(data.pointSize, 9);
  EXPECT_EQ(data.face, inJapanese ? L"ＭＳ Ｐゴシック" : L"MS Shell Dlg");
  ASSERT_EQ(data.items.size(), expected.items.size());
  for (size_t i = 0; i < data.items.size(); ++i) {
    const TemplateItem& got = data.items[i];
    const ExpectedItem& want = expected.items[i];
    SCOPED_TRACE(testing::Message() << "control " << i << ", id " << want.id);
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.classAtom, want.classAtom);
    if (want.classAtom == kButton || want.classAtom == kStatic) {
      EXPECT_EQ(got.style & 0xF, want.kind);
    }
    const DWORD required = want.required | WS_CHILD | WS_VISIBLE;
    EXPECT_EQ(got.style & required, required);
    EXPECT_EQ(got.style & want.forbidden, 0u);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.cy, want.cy);
    if (inJapanese ? want.widenedJapanese : want.widenedEnglish) {
      // Given room for its text (its neighbour on the row may move aside): same row, still
      // inside the dialog.
      EXPECT_GE(got.x, 0);
      EXPECT_LE(got.x + got.cx, data.cx);
    } else {
      EXPECT_EQ(got.x, want.x);
      EXPECT_EQ(got.cx, want.cx);
    }
    const wchar_t* text = inJapanese ? want.japanese : want.english;
    if (text) {
      EXPECT_EQ(got.text, text);
    }
  }
}

constexpr DWORD kDialogStyle = WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kPageStyle = WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK;
constexpr DWORD kChecks = WS_TABSTOP;
constexpr DWORD kLists = LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kNumbers = ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP;

const ExpectedDialog kLanguageDialog = {
    IDD_LANGUAGE_JA, IDD_LANGUAGE_EN, kDialogStyle, 150, 100, 130, 70, L"言語設定", L"Choose Language",
    {
        {-1, kButton, BS_GROUPBOX, 0, 0, 5, 5, 120, 40, L"", L"", false, false},
        {IDC_LANGUAGE_COMBO, kComboBox, 0, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, CBS_SORT, 10, 20, 110, 80,
         nullptr, nullptr, false, false},
        {IDOK, kButton, BS_PUSHBUTTON, WS_GROUP | WS_TABSTOP, 0, 20, 50, 50, 14, L"OK", L"OK", false, false},
        {IDCANCEL, kButton, BS_DEFPUSHBUTTON, WS_GROUP | WS_TABSTOP, 0, 75, 50, 50, 14, L"キャンセル", L"Cancel",
         false, false},
    }};

const ExpectedDialog kAboutBox = {
    IDD_ABOUT_JA, IDD_ABOUT_EN, kDialogStyle, 100, 100, 240, 70, L"Tellit Message Monitorについて",
    L"About Tellit Message Monitor",
    {
        {-1, kButton, BS_GROUPBOX, 0, 0, 5, 5, 230, 60, L"", L"", false, false},
        {-1, kStatic, SS_ICON, 0, 0, 11, 17, 20, 20, nullptr, nullptr, false, false},
        {-1, kStatic, SS_LEFT, SS_NOPREFIX | WS_GROUP, 0, 40, 15, 129, 8, L"Tellit Message Monitor",
         L"Tellit Message Monitor", false, false},
        {IDC_VERSION_LABEL, kStatic, SS_LEFT, SS_NOPREFIX | WS_GROUP, 0, 40, 28, 129, 8, nullptr, nullptr, false,
         false},
        {-1, kStatic, SS_LEFT, WS_GROUP, 0, 40, 41, 170, 8, nullptr, nullptr, false, false},
        {IDOK, kButton, BS_DEFPUSHBUTTON, WS_GROUP | WS_TABSTOP, 0, 178, 15, 50, 14, L"OK", L"OK", false, false},
    }};

const ExpectedDialog kLogDialog = {
    IDD_LOG_FILE_JA, IDD_LOG_FILE_EN, kDialogStyle | DS_3DLOOK, 50, 50, 250, 88, L"メッセージログをファイルに保存",
    L"Save Message Log",
    {
        {-1, kStatic, SS_LEFT, 0, 0, 5, 13, 38, 12, L"ファイル名", L"Filename", true, false},
        {IDC_LOG_FILE_NAME, kEdit, 0, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 43, 10, 165, 14, L"", L"", true,
         false},
        {IDC_LOG_BROWSE, kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 210, 10, 30, 14, L"参照", L"...", false, false},
        {IDC_LOG_SAVE_CONSOLE, kButton, BS_AUTOCHECKBOX, WS_TABSTOP, 0, 5, 30, 150, 12,
         L"画面に表示中のテキストもファイルに保存する", L"Save the displayed text as well", true, true},
        {-1, kStatic, SS_LEFT, 0, 0, 5, 50, 45, 12, L"サイズ上限", L"Limit size to", false, false},
        {IDC_LOG_MAX_SIZE, kEdit, 0, kNumbers, 0, 52, 47, 40, 14, nullptr, nullptr, false, false},
        {-1, kStatic, SS_LEFT, 0, 0, 96, 50, 15, 12, L"MB", L"MB", false, false},
        {-1, kStatic, SS_LEFT, 0, 0, 125, 50, 25, 12, L"保存数", L"keep", false, false},
        {IDC_LOG_KEEP, kEdit, 0, kNumbers, 0, 152, 47, 30, 14, nullptr, nullptr, false, false},
        {-1, kStatic, SS_LEFT, 0, 0, 186, 50, 35, 12, L"ファイル", L"files", false, false},
        {IDC_LOG_UTF8, kButton, BS_AUTOCHECKBOX, WS_TABSTOP, 0, 5, 69, 128, 12, L"UTF-8で書き込む", L"Write in UTF-8",
         false, false},
        {IDOK, kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 137, 68, 50, 14, L"OK", L"OK", false, false},
        {IDCANCEL, kButton, BS_DEFPUSHBUTTON, WS_TABSTOP, 0, 190, 68, 50, 14, L"キャンセル", L"Cancel", false, false},
    }};

const ExpectedDialog kSettingsPage = {
    IDD_CONSOLE_CONFIG_JA, IDD_CONSOLE_CONFIG_EN, kPageStyle, -1, -1, 300, 190, L"表示", L"Console",
    {
        {-1, kButton, BS_GROUPBOX, 0, 0, 5, 10, 160, 75, L"表示モード", L"Window", false, false},
        {IDC_CONFIG_V_SCROLL, kButton, BS_AUTOCHECKBOX, kChecks, 0, 10, 20, 115, 12, L"縦スクロールバーの表示",
         L"Vertical scrollbar", true, true},
        {IDC_CONFIG_H_SCROLL, kButton, BS_AUTOCHECKBOX, kChecks, 0, 10, 35, 115, 12, L"横スクロールバーの表示",
         L"Horizontal scrollbar", true, true},
        {IDC_CONFIG_HEX_MODE, kButton, BS_AUTOCHECKBOX, kChecks, 0, 10, 50, 115, 12, L"制御文字を16進数で表示",
         L"Show control code by hexadecimal", true, true},
        {IDC_CONFIG_AUTO_SCROLL, kButton, BS_AUTOCHECKBOX, kChecks, 0, 10, 65, 115, 12, L"自動スクロールを行う",
         L"Auto scroll", true, true},
        {-1, kButton, BS_GROUPBOX, 0, 0, 5, 90, 160, 90, L"カラー設定", L"Color", false, false},
        {-1, kStatic, SS_LEFT, 0, 0, 83, 98, 20, 12, L"文字", L"TEXT", false, false},
        {-1, kStatic, SS_LEFT, 0, 0, 118, 98, 20, 12, L"背景", L"BG.", false, false},
        {-1, kStatic, SS_RIGHT, 0, 0, 10, 111, 60, 12, L"通常のテキスト", L"Normal text", true, false},
        {IDC_CONFIG_NORMAL_TEXT, kButton, BS_OWNERDRAW, WS_TABSTOP, 0, 75, 108, 30, 14, nullptr, nullptr, false, false},
        {IDC_CONFIG_NORMAL_BACK, kButton, BS_OWNERDRAW, WS_TABSTOP, 0, 110, 108, 30, 14, nullptr, nullptr, false,
         false},
        {-1, kStatic, SS_RIGHT, 0, 0, 10, 126, 60, 12, L"16進数の表示", L"Hexadecimal", true, false},
        {IDC_CONFIG_HEX_TEXT, kButton, BS_OWNERDRAW, WS_TABSTOP, 0, 75, 123, 30, 14, nullptr, nullptr, false, false},
        {IDC_CONFIG_HEX_BACK, kButton, BS_OWNERDRAW, WS_TABSTOP, 0, 110, 123, 30, 14, nullptr, nullptr, false, false},
        {-1, kStatic, SS_RIGHT, 0, 0, 10, 141, 60, 12, L"選択中のテキスト", L"Select Text", true, false},
        {IDC_CONFIG_SELECT_TEXT, kButton, BS_OWNERDRAW, WS_TABSTOP, 0, 75, 138, 30, 14, nullptr, nullptr, false,
         false},
        {IDC_CONFIG_SELECT_BACK, kButton, BS_OWNERDRAW, WS_TABSTOP, 0, 110, 138, 30, 14, nullptr, nullptr, false,
         false},
        {-1, kButton, BS_GROUPBOX, 0, 0, 170, 10, 125, 105, L"表示用フォント", L"Font", false, false},
        {-1, kStatic, SS_LEFT, 0, 0, 175, 22, 40, 12, L"フォント", L"Font name", false, false},
        {IDC_CONFIG_FONT_NAME, kListBox, 0, kLists, 0, 175, 35, 80, 75, nullptr, nullptr, false, false},
        {-1, kStatic, SS_LEFT, 0, 0, 260, 22, 25, 12, L"サイズ", L"Size", false, false},
        {IDC_CONFIG_FONT_SIZE, kListBox, 0, kLists, 0, 260, 35, 25, 75, nullptr, nullptr, false, false},
        {-1, kButton, BS_GROUPBOX, 0, 0, 170, 120, 125, 25, L"TABの文字数", L"TAB size", false, false},
        {IDC_CONFIG_TAB_2, kButton, BS_AUTORADIOBUTTON, WS_GROUP, 0, 175, 130, 30, 12, L"2", L"2", false, false},
        // The other two stay in the first one's group: no group start of their own.
        {IDC_CONFIG_TAB_4, kButton, BS_AUTORADIOBUTTON, 0, WS_GROUP, 215, 130, 30, 12, L"4", L"4", false, false},
        {IDC_CONFIG_TAB_8, kButton, BS_AUTORADIOBUTTON, 0, WS_GROUP, 255, 130, 30, 12, L"8", L"8", false, false},
        {-1, kButton, BS_GROUPBOX, 0, 0, 170, 150, 60, 30, L"折り返し文字数", L"By return", false, false},
        {IDC_CONFIG_WRAP_COLUMN, kEdit, 0, kNumbers, 0, 185, 160, 30, 13, nullptr, nullptr, false, false},
        {-1, kButton, BS_GROUPBOX, 0, 0, 235, 150, 60, 30, L"バッファサイズ", L"Text buffer", false, false},
        {IDC_CONFIG_BUFFER_SIZE, kEdit, 0, kNumbers, 0, 238, 160, 42, 13, nullptr, nullptr, false, false},
        {-1, kStatic, SS_LEFT, 0, 0, 282, 164, 10, 12, L"KB", L"KB", false, false},
    }};

constexpr DWORD kDropDowns = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

const ExpectedDialog kFilterDialog = {
    IDD_FILTER_JA, IDD_FILTER_EN, kDialogStyle | DS_CENTER, 0, 0, 380, 170, L"フィルター", L"Filters",
    {
        {IDC_FILTER_LIST, 0, 0, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 0, 5, 5, 305,
         140, L"", L"", false, false},
        {IDC_FILTER_ADD, kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 315, 5, 60, 14, L"追加...", L"Add...", false, false},
        {IDC_FILTER_EDIT, kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 315, 22, 60, 14, L"編集...", L"Edit...", false, false},
        {IDC_FILTER_REMOVE, kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 315, 39, 60, 14, L"削除", L"Remove", false, false},
        {IDC_FILTER_UP, kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 315, 61, 60, 14, L"上へ", L"Up", false, false},
        {IDC_FILTER_DOWN, kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 315, 78, 60, 14, L"下へ", L"Down", false, false},
        {IDOK, kButton, BS_DEFPUSHBUTTON, WS_TABSTOP, 0, 250, 151, 60, 14, L"OK", L"OK", false, false},
        {IDCANCEL, kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 315, 151, 60, 14, L"キャンセル", L"Cancel", false, false},
    }};

const ExpectedDialog kFilterRuleDialog = {
    IDD_FILTER_RULE_JA, IDD_FILTER_RULE_EN, kDialogStyle | DS_CENTER, 0, 0, 220, 152, L"フィルターの条件",
    L"Filter Rule",
    {
        {-1, kStatic, SS_LEFT, 0, 0, 7, 9, 50, 8, L"動作", L"Action", false, false},
        {IDC_FILTER_RULE_ACTION, kComboBox, 0, kDropDowns, CBS_SORT, 60, 7, 153, 60, nullptr, nullptr, false, false},
        {-1, kStatic, SS_LEFT, 0, 0, 7, 27, 50, 8, L"対象", L"Field", false, false},
        {IDC_FILTER_RULE_FIELD, kComboBox, 0, kDropDowns, CBS_SORT, 60, 25, 153, 60, nullptr, nullptr, false, false},
        {-1, kStatic, SS_LEFT, 0, 0, 7, 45, 50, 8, L"パターン", L"Pattern", false, false},
        {IDC_FILTER_RULE_PATTERN, kEdit, 0, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 60, 43, 153, 14, L"", L"",
         false, false},
        {IDC_FILTER_RULE_MATCH_CASE, kButton, BS_AUTOCHECKBOX, WS_TABSTOP, 0, 60, 62, 153, 10,
         L"大文字と小文字を区別する", L"Match case", false, false},
        {IDC_FILTER_RULE_ENABLED, kButton, BS_AUTOCHECKBOX, WS_TABSTOP, 0, 60, 76, 153, 10, L"有効", L"Enabled", false,
         false},
        {IDC_FILTER_RULE_TEXT_COLOUR, kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 60, 92, 74, 14, L"文字色...",
         L"Text colour...", false, false},
        {IDC_FILTER_RULE_BACK_COLOUR, kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 139, 92, 74, 14, L"背景色...",
         L"Background colour...", false, false},
        {-1, kStatic, SS_LEFT, 0, 0, 7, 113, 50, 8, L"見本", L"Sample", false, false},
        {IDC_FILTER_RULE_SAMPLE, kStatic, SS_OWNERDRAW, 0, 0, 60, 110, 153, 14, L"", L"", false, false},
        {IDOK, kButton, BS_DEFPUSHBUTTON, WS_TABSTOP, 0, 109, 132, 50, 14, L"OK", L"OK", false, false},
        {IDCANCEL, kButton, BS_PUSHBUTTON, WS_TABSTOP, 0, 163, 132, 50, 14, L"キャンセル", L"Cancel", false, false},
    }};

TEST(MonitorResources, DialogTemplatesMatchTheDialogTablesInBothLanguages) {
  for (const ExpectedDialog* dialog :
       {&kLanguageDialog, &kAboutBox, &kLogDialog, &kSettingsPage, &kFilterDialog, &kFilterRuleDialog}) {
    CheckDialogTemplate(*dialog, true);
    CheckDialogTemplate(*dialog, false);
  }
  // The About box's icon is the program's icon.
  for (int resource : {IDD_ABOUT_JA, IDD_ABOUT_EN}) {
    const DialogTemplateData data = ReadDialogTemplate(resource);
    ASSERT_GE(data.items.size(), 2u);
    EXPECT_EQ(data.items[1].textOrdinal, IDI_VIGILO) << resource;
  }
}

}  // namespace
