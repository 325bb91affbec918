// LogSaving: commands 101 and 102, creating the log file and the optional dump of the console.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "code_page/ansi_to_utf8.h"
#include "monitor/app/log_saving.h"
#include "monitor/log/log_dialog.h"
#include "monitor/log/log_encoding.h"
#include "code_page/utf8_characters.h"
#include "monitor/common/code_page_text.h"
#include "monitor/resources/log_settings_ids.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings/settings_file.h"
#include "monitor/common/ui_text.h"

namespace {

// A message box about the file, in the current language; %s in the text stands for the name.
int AskAboutFile(HWND owner, int message, const char* name, UINT buttons) {
  char pattern[kUiTextSize];
  LoadUiText(message, pattern);
  char caption[kUiTextSize];
  LoadUiText(IDS_LOG_CAPTION, caption);
  char text[sizeof pattern + MAX_PATH];
  std::snprintf(text, sizeof text, pattern, name);
  return MessageBoxA(owner, text, caption, buttons);
}

}  // namespace

void LogSaving::Start() {
  if (logFile.IsOpen()) {
    commands_.SetCommandEnabled(ID_FILE_START_LOG, false);
    return;
  }

  LogDialog dialog;
  dialog.saveConsole = ReadSetting(settings_keys::kLogSaveConsole);
  dialog.maxSizeMb = ReadSetting(settings_keys::kLogMaxSize);
  dialog.keep = ReadSetting(settings_keys::kLogKeep);
  dialog.utf8 = LogEncodingOf(ReadSetting(settings_keys::kLogEncoding)) == LogEncoding::kUtf8 ? 1 : 0;
  ReadSettingText(settings_keys::kLogFileName, dialog.fileName, MAX_PATH - 1);

  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
  const int templateId = ResourceInLanguage(IDD_LOG_FILE_JA, IDD_LOG_FILE_EN);
  // Only 1 is acceptance: -1 (the dialog could not be created) must not start saving to the
  // remembered name behind the user's back.
  if (DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), window_, XDialog::DialogProc,
                      reinterpret_cast<LPARAM>(&dialog)) != 1)
    return;
  if (dialog.fileName[0] == '\0') return;

  rotation::Policy policy;
  policy.maxBytes = static_cast<uint64_t>(dialog.maxSizeMb) * 1024 * 1024;
  policy.keep = static_cast<uint32_t>(dialog.keep);
  logFile.SetPolicy(policy);
  if (!logFile.Open(dialog.fileName, CREATE_NEW)) {
    if (logFile.error() != ERROR_FILE_EXISTS && logFile.error() != ERROR_ALREADY_EXISTS) {
      // A missing folder or a denied path: nothing to overwrite, so no question.
      AskAboutFile(window_, IDS_LOG_CANNOT_OPEN, dialog.fileName, MB_OK | MB_ICONQUESTION);
      return;
    }
    if (AskAboutFile(window_, IDS_LOG_OVERWRITE, dialog.fileName,
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
      return;
    if (!logFile.Open(dialog.fileName, CREATE_ALWAYS)) {
      AskAboutFile(window_, IDS_LOG_CANNOT_OPEN, dialog.fileName, MB_OK | MB_ICONQUESTION);
      return;
    }
  }
  std::snprintf(logFileName, sizeof logFileName, "%s", dialog.fileName);

  WriteSetting(settings_keys::kLogSaveConsole, dialog.saveConsole ? 1 : 0);
  WriteSetting(settings_keys::kLogMaxSize, dialog.maxSizeMb);
  WriteSetting(settings_keys::kLogKeep, dialog.keep);
  WriteSetting(settings_keys::kLogEncoding, dialog.utf8);
  logEncoding = LogEncodingOf(dialog.utf8);
  WriteSettingText(settings_keys::kLogFileName, dialog.fileName);

  commands_.SetCommandEnabled(ID_FILE_START_LOG, false);
  commands_.SetCommandEnabled(ID_FILE_STOP_LOG, true);

  if (dialog.saveConsole && console_.text.used != 0) WriteConsoleToLog();
}

void LogSaving::WriteConsoleToLog() {
  // The stored text goes as drawn, in whole lines, as many as fit the file's limit at a time, so that the
  // rotation cuts it where it cuts messages: never inside a line or a character. A piece holds
  // 1 MiB at most, the smallest limit there is, so that one never fills a new file past it. A
  // failed write stops saving as a failed write of a message does.
  constexpr size_t kLargestPiece = 1u << 20;
  const TextStore& store = console_.text;
  std::vector<uint8_t> piece;  // whole lines not yet written
  std::vector<uint8_t> line;   // the line being gathered, row by row
  const auto flush = [&] {
    const bool written = piece.empty() || WriteLog(piece.data(), static_cast<DWORD>(piece.size()));
    piece.clear();
    return written;
  };
  for (uint32_t row = 0; row <= store.lineCount; ++row) {
    // As the console draws it: the row's stamp and sender before its text.
    const std::string& lead = console_.view.LeadOf(row);
    line.insert(line.end(), lead.begin(), lead.end());
    const uint32_t start = store.LineStart(row), length = store.LineEnd(row) - start;
    line.resize(line.size() + length);
    store.CopyOut(start, length, line.data() + line.size() - length);
    const bool ends = !line.empty() && (line.back() == '\r' || line.back() == '\n');
    if (!ends && row < store.lineCount) continue;  // a line wrapped in the console goes on
    if (line.empty()) break;
    if (logEncoding == LogEncoding::kAnsiCodePage && !code_page::IsAscii(line.data(), line.size())) {
      // The console keeps UTF-8: a log in the ANSI code page takes what that code page has.
      std::string ansi;
      Utf8ToAnsiText(std::string_view(reinterpret_cast<const char*>(line.data()), line.size()), ansi);
      line.assign(ansi.begin(), ansi.end());
    }
    if (!piece.empty() && (logFile.Due(piece.size() + line.size()) || piece.size() + line.size() > kLargestPiece)) {
      if (!flush()) return;
    }
    piece.insert(piece.end(), line.begin(), line.end());
    line.clear();
  }
  flush();
}

bool LogSaving::WriteLog(const void* bytes, DWORD length) {
  if (logFile.WriteMessage(bytes, length)) {
    // A rename that failed (a viewer holds the file): writing goes on in it, and the user hears so.
    RotationTrouble trouble;
    if (logFile.TakeTrouble(trouble)) troubles_.NotifyTrouble(TroubleSink::kLogNotRotated, trouble.error);
    return true;
  }
  // What was written stays in the file; the commands return to "not saving" and the user hears why.
  commands_.SetCommandEnabled(ID_FILE_STOP_LOG, false);
  commands_.SetCommandEnabled(ID_FILE_START_LOG, true);
  troubles_.NotifyTrouble(TroubleSink::kLogStopped, logFile.error());
  return false;
}

void LogSaving::Stop() {
  // The file may be closed already: a failed write closes it.
  logFile.Close();
  commands_.SetCommandEnabled(ID_FILE_STOP_LOG, false);
  commands_.SetCommandEnabled(ID_FILE_START_LOG, true);
}
