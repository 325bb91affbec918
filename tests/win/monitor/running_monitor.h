// RunningMonitor: the monitor's main window in this process, started the way WinMain starts it,
// from a scratch folder of its own whose vigilo.ini holds the given text; closed again, with the
// folder and its settings path, when it goes. One per test keeps the tests independent.
#pragma once

#include <windows.h>

#include <string>

#include "monitor/app/monitor_app.h"
#include "monitor/settings/settings_file.h"
#include "support/dialog_driver.h"
#include "support/scratch_dir.h"

class RunningMonitor {
 public:
  explicit RunningMonitor(const std::string& ini) {
    WriteWholeFile(dir_.File("vigilo.ini"), ini);
    GetCurrentDirectoryA(MAX_PATH, previousDirectory_);
    SetCurrentDirectoryA(dir_.path().c_str());
    started_ = InitInstance(app_, GetModuleHandleA(nullptr), SW_SHOW);
  }
  ~RunningMonitor() {
    if (app_.window() && IsWindow(app_.window())) {
      SendMessageA(app_.window(), WM_CLOSE, 0, 0);
      Pump(20);
    }
    // The window's end posts WM_QUIT, which would end the next test's modal loops at once.
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    app_.SetWindow(nullptr);
    UnregisterMainClass(GetModuleHandleA(nullptr));
    SetCurrentDirectoryA(previousDirectory_);
    settingsPath[0] = '\0';
  }
  RunningMonitor(const RunningMonitor&) = delete;
  RunningMonitor& operator=(const RunningMonitor&) = delete;

  bool started() const { return started_ == 1; }
  std::string File(const char* name) const { return dir_.File(name); }
  MonitorApp& app() { return app_; }

  // Makes the main window the foreground window and lets its activation settle: under Wine the
  // window manager's focus events come later, and a popup menu shown before them is cancelled
  // by the deactivation they bring. False when the window did not come forward within ten
  // seconds (a loaded machine can be slow to bring them).
  bool BringToFront() {
    SetForegroundWindow(app_.window());
    for (int i = 0; i < 500 && GetForegroundWindow() != app_.window(); ++i) Pump(20);
    Pump(20);
    return GetForegroundWindow() == app_.window();
  }

 private:
  ScratchDir dir_;  // declared first: it goes after the record has closed its log file
  char previousDirectory_[MAX_PATH] = "";
  int started_ = 0;
  MonitorApp app_;
};
