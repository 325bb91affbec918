// The monitor's application record, its process-wide values and the command-state helper.
#include "monitor/monitor_app.h"

#include <commctrl.h>

#include <new>

char settingsPath[MAX_PATH] = "";
int language = 1;
MonitorApp app;

MonitorApp::~MonitorApp() {
  // A log file still open when the window closed holds everything received; close it last of
  // all the receiver's work, then the buffers and the channel.
  if (logFile && logFile != INVALID_HANDLE_VALUE) CloseHandle(logFile);
  logFile = nullptr;
  delete[] convertBuffer;
  convertBuffer = nullptr;
  if (mailslot) CloseHandle(mailslot);
  mailslot = nullptr;
  delete[] receiveBuffer;
  receiveBuffer = nullptr;
}

void MonitorApp::AllocateConvertBuffer() {
  delete[] convertBuffer;
  convertBuffer = new (std::nothrow) unsigned char[convertCapacity];
}

void SetCommandEnabled(int command, bool enabled) {
  if (!app.mainWindow) return;
  const HMENU menu = GetMenu(app.mainWindow);
  if (!menu) return;
  EnableMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  if (app.toolBar) {
    SendMessageA(app.toolBar, TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(enabled ? TRUE : FALSE, 0));
  }
}
