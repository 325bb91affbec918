// LogDialog: filling the log file dialog, OK and Cancel, and the browse button's save-file chooser.
#include "monitor/log/log_dialog.h"

#include <commdlg.h>

#include <cstring>

#include "monitor/resources/log_settings_ids.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/common/ui_text.h"

namespace {

// Room for the file name with its NUL; the edit text is read with this limit.
constexpr int kNameLimit = MAX_PATH - 1;

}  // namespace

void LogDialog::OnInitDialog() {
  fileNameEdit = GetDlgItem(hwnd, IDC_LOG_FILE_NAME);
  // OK reads at most kNameLimit - 1 characters: the box takes no more, so a longer name is
  // never cut short unseen and the log created under a name the user did not give.
  SendMessageA(fileNameEdit, EM_LIMITTEXT, kNameLimit - 1, 0);
  SetWindowTextA(fileNameEdit, fileName);
  saveConsoleCheck.Bind(hwnd, IDC_LOG_SAVE_CONSOLE, saveConsole);
  utf8Check.Bind(hwnd, IDC_LOG_UTF8, utf8);
  maxSizeEdit.Bind(hwnd, IDC_LOG_MAX_SIZE, maxSizeMb, 0, kLogMaxSizeMbLimit);
  keepEdit.Bind(hwnd, IDC_LOG_KEEP, keep, 0, kLogKeepLimit);
}

void LogDialog::OnCommand(const DialogCommand& command) {
  switch (command.id) {
    case IDOK:
      GetWindowTextA(fileNameEdit, fileName, kNameLimit);
      saveConsole = IsDlgButtonChecked(hwnd, IDC_LOG_SAVE_CONSOLE) == BST_CHECKED ? 1 : 0;
      utf8 = IsDlgButtonChecked(hwnd, IDC_LOG_UTF8) == BST_CHECKED ? 1 : 0;
      maxSizeMb = maxSizeEdit.Read();
      keep = keepEdit.Read();
      End(1);
      break;
    case IDCANCEL:  // also Escape and the close box
      End(0);
      break;
    case IDC_LOG_BROWSE:
      Browse();
      break;
    default:
      break;
  }
}

void LogDialog::Browse() {
  char chosen[MAX_PATH] = {};
  GetWindowTextA(fileNameEdit, chosen, kNameLimit);

  // The filter is a list of NUL-separated pairs ending in an empty string.
  char description[kUiTextSize];
  LoadUiText(IDS_LOG_FILTER_ALL_FILES, description);
  char filter[kUiTextSize + 8] = {};
  const std::size_t length = std::strlen(description);
  std::memcpy(filter, description, length);
  std::memcpy(filter + length + 1, "*.*", 4);  // followed by the second NUL of the zeroed buffer

  char title[kUiTextSize];
  LoadUiText(IDS_LOG_BROWSE_TITLE, title);

  OPENFILENAMEA request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = hwnd;
  request.lpstrFilter = filter;
  request.nFilterIndex = 1;
  request.lpstrFile = chosen;
  request.nMaxFile = kNameLimit;
  request.lpstrTitle = title;
  request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
  // Only the edit field changes: the file is created when the dialog is confirmed.
  if (GetSaveFileNameA(&request) && chosen[0] != '\0') SetWindowTextA(fileNameEdit, chosen);
}
