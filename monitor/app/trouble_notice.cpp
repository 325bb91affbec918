// Troubles the user must hear of: a channel or listener another program holds, a log file that stopped.
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "monitor/app/monitor_app.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/common/ui_text.h"

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
  char caption[kUiTextSize];
  char text[MAX_PATH + 512];
  if (trouble == kChannelInUse) {
    if (!intake_.channelDown()) return;  // the channel came up before the box could show
    LoadUiText(IDS_PROGRAM_NAME, caption);
    LoadUiText(IDS_TROUBLE_CHANNEL_IN_USE, text);
    MessageBoxA(mainWindow, text, caption, MB_OK | MB_ICONWARNING);
    return;
  }
  if (trouble == kConsoleMemoryShort) {
    console.TellIfShortOfMemory(mainWindow);
    return;
  }
  if (trouble == kFilterRulesUnreadable) {
    LoadUiText(IDS_PROGRAM_NAME, caption);
    const std::string told = views_.UnreadableText();
    MessageBoxA(mainWindow, told.c_str(), caption, MB_OK | MB_ICONWARNING);
    return;
  }
  if (trouble == kDebugOutputInUse || trouble == kDebugOutputFailed) {
    LoadUiText(IDS_PROGRAM_NAME, caption);
    if (trouble == kDebugOutputInUse) {
      LoadUiText(IDS_TROUBLE_DEBUG_OUTPUT_IN_USE, text);
    } else {
      char pattern[kUiTextSize];
      LoadUiText(IDS_TROUBLE_DEBUG_OUTPUT_FAILED, pattern);
      char reason[256];
      SystemErrorText(error, reason);
      std::snprintf(text, sizeof text, pattern, reason);
    }
    MessageBoxA(mainWindow, text, caption, MB_OK | MB_ICONWARNING);
    return;
  }
  LoadUiText(IDS_LOG_CAPTION, caption);
  char pattern[kUiTextSize];
  LoadUiText(trouble == kLogNotRotated ? IDS_TROUBLE_LOG_NOT_ROTATED : IDS_TROUBLE_LOG_STOPPED, pattern);
  char reason[256];
  SystemErrorText(error, reason);
  std::snprintf(text, sizeof text, pattern, log_.name(), reason);
  MessageBoxA(mainWindow, text, caption, MB_OK | (trouble == kLogNotRotated ? MB_ICONWARNING : MB_ICONERROR));
}
