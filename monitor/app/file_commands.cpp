// Opened files in the main window: File > Open..., Save As..., Follow and Close File, a file
// dropped on the window or handed over by a second start, the console that shows (an opened
// file's, each in a tab after the views', else the live one), and the filters of an opened file.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "code_page/ansi_code_page.h"
#include "monitor/app/opened_files_control.h"
#include "monitor/app/window_messages.h"
#include "monitor/filters/console_filters.h"
#include "monitor/files/file_dialogs.h"
#include "monitor/files/history_file.h"
#include "monitor/filters/filter_dialog.h"
#include "monitor/resources/resource_ids.h"

namespace {

void CheckMenu(HWND window, int command, bool checked) {
  if (window) CheckMenuItem(GetMenu(window), command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void EnableMenu(HWND window, int command, bool enabled) {
  if (window) EnableMenuItem(GetMenu(window), command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

VGL_Console& OpenedFilesControl::ShownConsole() { return ShownFile() ? ShownFile()->console : console; }

void OpenedFilesControl::ForEachConsole(const std::function<void(VGL_Console&)>& apply) {
  apply(console);
  for (size_t i = 0; i < files.Count(); ++i) apply(files.Console(i));
}

OpenedFile* OpenedFilesControl::ShownFile() {
  return shownFile >= 0 && size_t(shownFile) < files.Count() ? &files.File(size_t(shownFile)) : nullptr;
}

void OpenedFilesControl::Show(int index) {
  shownFile = index;
  ShowTopConsole();
}

void OpenedFilesControl::ShowTopConsole() {
  VGL_Console& shown = ShownConsole();
  if (console.window) ShowWindow(console.window, &shown == &console ? SW_SHOW : SW_HIDE);
  for (size_t i = 0; i < files.Count(); ++i) {
    if (files.Console(i).window) ShowWindow(files.Console(i).window, &files.Console(i) == &shown ? SW_SHOW : SW_HIDE);
  }
  callbacks.layout();
  // The Edit commands and the File ones say what the shown console allows.
  const bool hasText = shown.text.used != 0;
  SetCommandEnabled(ID_EDIT_COPY, shown.text.selection.state == Selection::kFinished);
  SetCommandEnabled(ID_EDIT_SELECT_ALL, hasText);
  SetCommandEnabled(ID_EDIT_ALL_COPY, hasText);
  SetCommandEnabled(ID_EDIT_ALL_ERASE, &shown == &console && hasText);  // an opened file is read-only
  const OpenedFile* file = ShownFile();
  EnableMenu(mainWindow, ID_FILE_FOLLOW, file != nullptr);
  EnableMenu(mainWindow, ID_FILE_CLOSE_FILE, file != nullptr);
  CheckMenu(mainWindow, ID_FILE_FOLLOW, file && file->Following());
  if (shown.window && GetForegroundWindow() == mainWindow) SetFocus(shown.window);
  shown.Invalidate();
  callbacks.tabsChanged();
  callbacks.statusChanged();
}

bool OpenedFilesControl::OpenFile(const std::string& path, bool follow) {
  OpenedFiles::Host host;
  host.parent = mainWindow;
  host.commandStates = &commands;
  host.gutter = &gutter;
  host.dpi = dpi;
  const int opened = files.Open(host, path, follow);
  if (opened < 0) return false;
  ApplyFileFilters(files.File(size_t(opened)));
  // It becomes the tab shown.
  shownFile = opened;
  ShowTopConsole();
  callbacks.busy();  // its lines come at the next ticks
  return true;
}

void OpenedFilesControl::CloseShownFile() {
  if (!ShownFile()) return;
  files.Close(size_t(shownFile));
  // The next file's tab shows, else the one before, else the live view.
  if (size_t(shownFile) >= files.Count()) shownFile = int(files.Count()) - 1;
  ShowTopConsole();
}

void OpenedFilesControl::OnFileCommand(int command) {
  switch (command) {
    case ID_FILE_OPEN: {
      std::string path;
      if (AskFileToOpen(mainWindow, path)) OpenFile(path, false);
      break;
    }
    case ID_FILE_SAVE_AS: {
      std::string path;
      bool jsonLines = false;
      if (AskFileToSave(mainWindow, path, jsonLines)) SaveHistory(mainWindow, ShownConsole(), &gutter, path, jsonLines);
      break;
    }
    case ID_FILE_FOLLOW:
      if (OpenedFile* file = ShownFile()) {
        file->SetFollow(!file->Following());
        CheckMenu(mainWindow, ID_FILE_FOLLOW, file->Following());
        callbacks.busy();
      }
      break;
    case ID_FILE_CLOSE_FILE: CloseShownFile(); break;
    default: break;
  }
}

void OpenedFilesControl::TakeDroppedFiles(HDROP drop) {
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    char path[MAX_PATH];
    if (DragQueryFileA(drop, i, path, MAX_PATH) != 0) OpenFile(path, false);
  }
  DragFinish(drop);
}

bool OpenedFilesControl::TakeHandedFile(const COPYDATASTRUCT& data) {
  if (data.dwData != kOpenFileCopyData || !data.lpData || data.cbData == 0 || data.cbData >= MAX_PATH) return false;
  // Opened from the message loop: the second start waits for this answer, not for the opening.
  handedFiles.emplace_back(static_cast<const char*>(data.lpData), data.cbData);
  PostMessageA(mainWindow, kOpenHandedFiles, 0, 0);
  return true;
}

void OpenedFilesControl::OpenHandedFiles() {
  std::vector<std::string> paths;
  paths.swap(handedFiles);
  for (const std::string& path : paths) OpenFile(path, false);
  if (IsIconic(mainWindow)) ShowWindow(mainWindow, SW_RESTORE);
  SetForegroundWindow(mainWindow);
}

bool HandFileToRunning(HWND running, const std::string& path) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return false;
  COPYDATASTRUCT data = {};
  data.dwData = kOpenFileCopyData;
  data.cbData = length;
  data.lpData = full;
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000,
                             &answer) != 0 &&
         answer != 0;
}

void OpenedFilesControl::ApplyFileFilters(OpenedFile& file) {
  file.activeFilters = file.filterOn ? ConsoleFilterSet(file.filterRules) : filtering::FilterSet();
  file.console.highlights.clear();
  for (const filtering::FilterRule& rule : file.filterRules) {
    file.console.highlights.push_back(XConsole::HighlightColours{rule.textColour, rule.backColour});
  }
  // An opened file is decided again at once: its history is no longer live, nothing waits.
  file.refilter.Start(file.console.text, file.activeFilters);
  file.refilter.Step(file.console.text, [] { return false; });
  file.console.text.selection.Reset();
  file.console.view.ForgetRows();
  file.console.UpdateVScrollRange();
  file.console.Invalidate();
}

void OpenedFilesControl::AddFileRule(OpenedFile& file, const filtering::FilterRule& rule) {
  file.filterRules.push_back(rule);
  file.filterOn = true;  // the rule is asked to work now
  ApplyFileFilters(file);
  callbacks.tabsChanged();
}

bool OpenedFilesControl::EditShownFileFilters() {
  OpenedFile* file = ShownFile();
  if (!file) return false;
  FilterDialog dialog;
  dialog.rules = file->filterRules;
  if (dialog.Run(mainWindow) == 1 && dialog.rules != file->filterRules) {
    file->filterRules = dialog.rules;
    ApplyFileFilters(*file);
  }
  return true;
}

bool OpenedFilesControl::ToggleShownFileFilter() {
  OpenedFile* file = ShownFile();
  if (!file) return false;
  file->filterOn = !file->filterOn;
  CheckMenu(mainWindow, ID_VIEW_FILTER, file->filterOn);
  ApplyFileFilters(*file);
  return true;
}
