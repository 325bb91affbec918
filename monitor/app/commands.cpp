// The main window's commands (menu, toolbar, context menu, shortcuts), tooltips, View toggles and Help.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "monitor/common/ansi_path.h"
#include "monitor/app/about_dialog.h"
#include "monitor/app/monitor_app.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings/settings_file.h"
#include "monitor/common/ui_text.h"

namespace {

struct Tooltip {
  int command;
  int text;
};

constexpr Tooltip kTooltips[] = {
    {ID_FILE_START_LOG, IDS_TIP_START_LOG}, {ID_FILE_STOP_LOG, IDS_TIP_STOP_LOG},
    {ID_FILE_SETTING, IDS_TIP_SETTING},     {ID_EDIT_COPY, IDS_TIP_COPY},
    {ID_EDIT_PASTE, IDS_TIP_PASTE},         {ID_EDIT_SELECT_ALL, IDS_TIP_SELECT_ALL},
    {ID_EDIT_ALL_COPY, IDS_TIP_ALL_COPY},   {ID_EDIT_ALL_ERASE, IDS_TIP_ALL_ERASE},
    {ID_HELP_TOPICS, IDS_TIP_HELP},
};
constexpr int kTooltipCount = static_cast<int>(sizeof kTooltips / sizeof kTooltips[0]);

// The tooltip control keeps the pointer it gets until the next request: one buffer per text,
// loaded at each request so that a language change shows at once.
const char* TooltipText(int command) {
  static char texts[kTooltipCount][kUiTextSize];
  for (int i = 0; i < kTooltipCount; ++i) {
    if (kTooltips[i].command == command) {
      LoadUiText(kTooltips[i].text, texts[i]);
      return texts[i];
    }
  }
  return nullptr;
}

void ToggleBar(MonitorApp& app, HWND bar, int item, const settings_keys::Key& key) {
  if (!bar) return;
  const HWND owner = app.window();
  const HMENU menu = GetMenu(owner);
  const UINT state = GetMenuState(menu, static_cast<UINT>(item), MF_BYCOMMAND);
  const int visible = (state != static_cast<UINT>(-1) && (state & MF_CHECKED)) ? 0 : 1;
  CheckMenuItem(menu, static_cast<UINT>(item), MF_BYCOMMAND | (visible ? MF_CHECKED : MF_UNCHECKED));
  ShowWindow(bar, visible ? SW_SHOW : SW_HIDE);
  RECT client;
  GetClientRect(owner, &client);
  app.Layout(client.right, client.bottom);
  WriteSetting(key, visible);
}

void SelectAllText(MonitorApp& app) {
  app.SetCommandEnabled(ID_EDIT_COPY, true);
  app.ShownConsole().SelectAll();
  app.ShownConsole().Invalidate();
}

void SelectAllAndCopy(MonitorApp& app) {
  app.ShownConsole().SelectAll();
  app.ShownConsole().Copy();
}

void OpenHelp() {
  char path[MAX_PATH];
  HelpPagePath(path);
  ShellExecuteA(nullptr, "open", path, nullptr, "", SW_SHOW);
}

void RunAboutBox(HWND owner) {
  AboutDialog dialog;
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
  DialogBoxParamA(instance, MAKEINTRESOURCEA(ResourceInLanguage(IDD_ABOUT_JA, IDD_ABOUT_EN)),
                  owner, XDialog::DialogProc, reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace

void HelpPagePath(char (&path)[MAX_PATH]) {
  path[0] = '\0';
  char module[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  // The folder of the program: a byte-wise search for the last backslash would stop inside a
  // Japanese folder or file name whose trail byte is 0x5C.
  module[DirectoryPartLength(module, GetACP())] = '\0';
  char page[kUiTextSize];
  if (LoadUiText(IDS_HELP_PAGE, page) == 0) return;
  if (std::strlen(module) + std::strlen(page) >= MAX_PATH) return;
  std::strcpy(path, module);
  std::strcat(path, page);
}

void MonitorApp::OnCommand(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case ID_FILE_START_LOG: log_.Start(); break;
    case ID_FILE_STOP_LOG: log_.Stop(); break;
    case ID_FILE_SETTING:
      console.OpenSettingsSheet(mainWindow);
      // The opened files' consoles take what the sheet gave the live one.
      files_.ForEachConsole([this](VGL_Console& each) {
        if (&each != &console) each.ApplySettings(console.settings);
      });
      views_.ShowViewTabs();  // in the console's colours
      break;
    case ID_FILE_EXIT: SendMessageA(mainWindow, WM_CLOSE, 0, 0); break;
    case ID_FILE_OPEN:
    case ID_FILE_SAVE_AS:
    case ID_FILE_FOLLOW:
    case ID_FILE_CLOSE_FILE: files_.OnFileCommand(int(LOWORD(wParam))); break;
    case ID_EDIT_COPY: ShownConsole().Copy(); break;
    case ID_EDIT_PASTE: console.Paste(); break;
    case ID_EDIT_SELECT_ALL: SelectAllText(*this); break;
    case ID_EDIT_ALL_COPY: SelectAllAndCopy(*this); break;
    case ID_EDIT_ALL_ERASE:
      if (files_.ShownFile()) break;  // an opened file is read-only
      console.Clear();
      views_.list().Forget(console.text.FirstMessageNumber());
      status_.ResetCount();
      viewFlags_.RestartElapsedTime();
      break;
    case ID_EDIT_FIND: find.Open(mainWindow, ShownConsole()); break;
    case ID_EDIT_FIND_NEXT: find.Next(mainWindow, ShownConsole(), true); break;
    case ID_EDIT_FIND_PREVIOUS: find.Next(mainWindow, ShownConsole(), false); break;
    case ID_VIEW_TOOLBAR: ToggleBar(*this, toolBar, ID_VIEW_TOOLBAR, settings_keys::kToolBar); break;
    case ID_VIEW_STATUS_BAR: ToggleBar(*this, status_.bar(), ID_VIEW_STATUS_BAR, settings_keys::kStatusBar); break;
    case ID_VIEW_DEBUG_OUTPUT: intake_.ToggleDebugCapture(); break;
    case ID_VIEW_GLOBAL_DEBUG_OUTPUT: intake_.ToggleGlobalDebugCapture(); break;
    case ID_VIEW_TIME_STAMPS:
    case ID_VIEW_SENDERS: viewFlags_.ToggleViewFlag(int(LOWORD(wParam))); break;
    case ID_VIEW_FILTER:
      if (!files_.ToggleShownFileFilter()) views_.ToggleFilter();
      break;
    case ID_EDIT_FILTER:
      if (!files_.EditShownFileFilters()) views_.EditFilters();
      break;
    case ID_VIEW_NEW: views_.AddView(MonitorView()); break;
    case ID_VIEW_CLOSE: views_.CloseView(); break;
    case ID_VIEW_NEXT: views_.NextView(true); break;
    case ID_VIEW_PREVIOUS: views_.NextView(false); break;
    case ID_VIEW_RENAME: views_.RenameView(); break;
    case ID_VIEW_SHOW_ONLY_PROCESS: views_.ShowOnlyProcess(); break;
    case ID_VIEW_HIDE_PROCESS: views_.HideProcess(); break;
    case ID_HELP_TOPICS: OpenHelp(); break;
    case ID_HELP_ABOUT: RunAboutBox(mainWindow); break;
    case ID_HELP_LANGUAGE: ChooseLanguage(); break;
    default:
      if (!viewFlags_.ChooseStampStyle(int(LOWORD(wParam)))) DefWindowProcA(mainWindow, WM_COMMAND, wParam, 0);
      break;
  }
}

LRESULT MonitorApp::OnNotify(LPARAM lParam) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  ViewTabs& tabs = views_.tabs();
  if (header && header->hwndFrom == tabs.window() && tabs.window()) {
    if (header->code == TCN_SELCHANGE && tabs.Selected() >= 0) views_.ShowTab(size_t(tabs.Selected()));
    if (header->code == NM_DBLCLK) {
      // A double-click renames the tab it is on.
      POINT point;
      GetCursorPos(&point);
      const int tab = tabs.TabAt(point);
      if (tab >= 0) {
        views_.ShowTab(size_t(tab));
        views_.RenameView();
      }
    }
    return 0;
  }
  if (header && header->code == TTN_NEEDTEXTA) {
    auto* request = reinterpret_cast<NMTTDISPINFOA*>(lParam);
    if (const char* text = TooltipText(static_cast<int>(header->idFrom))) {
      request->lpszText = const_cast<char*>(text);
    }
  }
  return 0;
}
