// MonitorApp::PreTranslate: the keyboard shortcuts and the find dialog's keys, ahead of dispatching.
#include "monitor/app/monitor_app.h"

bool MonitorApp::PreTranslate(MSG* message) {
  // Shortcuts first, so that F3 also works while the find dialog has the focus.
  if (accelerators && mainWindow && TranslateAcceleratorA(mainWindow, accelerators, message)) return true;
  return find.PreTranslate(message);
}
