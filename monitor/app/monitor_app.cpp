// The monitor's application record, its process-wide values and the command-state helper.
#include "monitor/app/monitor_app.h"

#include "receiving/byte_buffer.h"

#include <commctrl.h>

MonitorApp::~MonitorApp() {
  // A log file still open when the window closed holds everything received: it closes first,
  // then the listener and the channel.
  logFile.Close();
  receiver.debugOutput().Stop();
  receiver.CloseMailslot();
}

void MonitorApp::AllocateConvertBuffer() { convertBuffer = TryAllocateBytes(convertCapacity); }

void MonitorApp::SetCommandEnabled(int command, bool enabled) {
  if (!mainWindow) return;
  const HMENU menu = GetMenu(mainWindow);
  if (!menu) return;
  EnableMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  if (toolBar) {
    SendMessageA(toolBar, TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(enabled ? TRUE : FALSE, 0));
  }
}
