// Writing a console's history to the file Save As names.
#include "monitor/files/history_file.h"

#include <cstdio>

#include "monitor/common/ui_text.h"
#include "monitor/files/history_writer.h"
#include "monitor/resources/ui_text_ids.h"
#include "scoped/scoped_win.h"

namespace {

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t at = 0;
  while (at < bytes.size()) {
    const DWORD chunk = DWORD(bytes.size() - at < (1u << 24) ? bytes.size() - at : (1u << 24));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + at, chunk, &written, nullptr) || written == 0) return false;
    at += written;
  }
  return true;
}

}  // namespace

bool SaveHistory(HWND owner, const VGL_Console& console, const LineGutter* gutter, const std::string& path,
                 bool jsonLines) {
  std::string bytes;
  if (jsonLines) history_writer::AppendJsonLines(console.text, bytes);
  else history_writer::AppendText(console.text, gutter, bytes);
  scoped::Handle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD error = file ? 0 : GetLastError();
  if (file && !WriteAll(file.get(), bytes)) error = GetLastError();
  if (error == 0) return true;
  char pattern[kUiTextSize], caption[kUiTextSize];
  LoadUiText(IDS_FILE_CANNOT_SAVE, pattern);
  LoadUiText(IDS_PROGRAM_NAME, caption);
  char text[sizeof pattern + MAX_PATH + 32];
  std::snprintf(text, sizeof text, pattern, path.c_str(), static_cast<unsigned long>(error));
  MessageBoxA(owner, text, caption, MB_OK | MB_ICONWARNING);
  return false;
}
