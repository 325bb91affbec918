// Troubles the user must hear of: a channel or listener another program holds, a log file that stopped.
#include <windows.h>

#include <cstdio>

#include "dialogs/ansi_text.h"
#include "monitor/monitor_app.h"

namespace {

// The system's text for an error code, without its line end; empty when it has none.
void SystemErrorText(DWORD error, char (&text)[256]) {
  text[0] = '\0';
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) {
    text[--length] = '\0';
  }
  if (length == 0) std::snprintf(text, sizeof text, "error %lu", static_cast<unsigned long>(error));
}

}  // namespace

void MonitorApp::NotifyTrouble(Trouble trouble, DWORD error) {
  if (mainWindow) PostMessageA(mainWindow, kTroubleMessage, trouble, static_cast<LPARAM>(error));
}

void MonitorApp::ShowTrouble(Trouble trouble, DWORD error) {
  const bool japanese = language == Language::kJapanese;
  char caption[96];
  char text[MAX_PATH + 512];
  if (trouble == kChannelInUse) {
    if (!channelDown) return;  // the channel came up before the box could show
    AnsiText(L"Tellit Message Monitor", caption);
    AnsiText(japanese ? L"メッセージの受信チャネルを他のプログラムが使っているため、メッセージを受信できません。"
                        L"チャネルが空きしだい受信を始めます。"
                      : L"Vigilo cannot receive messages: the message channel is in use by another program. "
                        L"It starts receiving as soon as the channel is free.",
             text);
    MessageBoxA(mainWindow, text, caption, MB_OK | MB_ICONWARNING);
    return;
  }
  if (trouble == kDebugOutputInUse || trouble == kDebugOutputFailed) {
    AnsiText(L"Tellit Message Monitor", caption);
    if (trouble == kDebugOutputInUse) {
      AnsiText(japanese ? L"他のプログラムがデバッグ出力を取り込んでいるため、OutputDebugString を取り込めません。"
                        : L"Another program is capturing debug output: OutputDebugString cannot be captured.",
               text);
    } else {
      char pattern[160];
      AnsiText(japanese ? L"OutputDebugString の取り込みを開始できないか、取り込みが止まりました: %s"
                        : L"Capturing OutputDebugString stopped or could not start: %s",
               pattern);
      char reason[256];
      SystemErrorText(error, reason);
      std::snprintf(text, sizeof text, pattern, reason);
    }
    MessageBoxA(mainWindow, text, caption, MB_OK | MB_ICONWARNING);
    return;
  }
  AnsiText(japanese ? L"メッセージログをファイルに保存" : L"Save Message Log", caption);
  char pattern[160];
  AnsiText(japanese ? L"\"%s\"へのメッセージログの保存を中止しました: %s"
                    : L"Saving the message log to \"%s\" stopped: %s",
           pattern);
  char reason[256];
  SystemErrorText(error, reason);
  std::snprintf(text, sizeof text, pattern, logFileName, reason);
  MessageBoxA(mainWindow, text, caption, MB_OK | MB_ICONERROR);
}
