// The monitor's application record, its process-wide values and the command-state helper.
#include "monitor/monitor_app.h"

#include "monitor/byte_buffer.h"

#include <commctrl.h>


char settingsPath[MAX_PATH] = "";
Language language = Language::kJapanese;
MonitorApp app;

MonitorApp::~MonitorApp() {
  // A log file still open when the window closed holds everything received: it closes first,
  // then the listener and the channel.
  logFile.Close();
  debugOutput.Stop();
  mailslot.Close();
}

void MonitorApp::AllocateConvertBuffer() { convertBuffer = TryAllocateBytes(convertCapacity); }

void SetCommandEnabled(int command, bool enabled) {
  if (!app.mainWindow) return;
  const HMENU menu = GetMenu(app.mainWindow);
  if (!menu) return;
  EnableMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  if (app.toolBar) {
    SendMessageA(app.toolBar, TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(enabled ? TRUE : FALSE, 0));
  }
}
