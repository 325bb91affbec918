// File > Open... and File > Save As...: the common dialogs with the filters of the language.
#include "monitor/files/file_dialogs.h"

#include <commdlg.h>

#include "monitor/common/ui_text.h"
#include "monitor/resources/ui_text_ids.h"

namespace {

// The table keeps a filter as "name|pattern|name|pattern|": the dialog wants NULs.
void LoadFilter(int textId, char (&filter)[kUiTextSize]) {
  const int length = LoadUiText(textId, filter);
  for (int i = 0; i < length; ++i) {
    if (filter[i] == '|') filter[i] = '\0';
  }
  if (length + 1 < kUiTextSize) filter[length + 1] = '\0';
}

// The common dialog's request with the filters and the title of the string table, in the
// language in force, the first filter chosen, and room for the name.
struct FileRequest {
  FileRequest(HWND owner, int filterText, int titleText) {
    LoadFilter(filterText, filter);
    LoadUiText(titleText, title);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title;
  }
  FileRequest(const FileRequest&) = delete;
  FileRequest& operator=(const FileRequest&) = delete;

  char filter[kUiTextSize] = "", title[kUiTextSize] = "";
  char name[MAX_PATH] = "";
  OPENFILENAMEA dialog = {};
};

}  // namespace

bool AskFileToOpen(HWND owner, std::string& path) {
  FileRequest request(owner, IDS_FILE_OPEN_FILTER, IDS_FILE_OPEN_TITLE);
  OPENFILENAMEA& dialog = request.dialog;
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!GetOpenFileNameA(&dialog)) return false;
  path = request.name;
  return true;
}

bool AskFileToSave(HWND owner, std::string& path, bool& jsonLines) {
  FileRequest request(owner, IDS_FILE_SAVE_FILTER, IDS_FILE_SAVE_TITLE);
  OPENFILENAMEA& dialog = request.dialog;
  dialog.lpstrDefExt = "txt";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!GetSaveFileNameA(&dialog)) return false;
  path = request.name;
  // The second filter is the JSON lines; a name ending in .jsonl chooses them too.
  const size_t dot = path.rfind('.');
  jsonLines = dialog.nFilterIndex == 2 || (dot != std::string::npos && path.substr(dot) == ".jsonl");
  return true;
}
