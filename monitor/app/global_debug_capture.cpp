// View > Capture Global Debug Output: the listener on the global objects, where services write,
// beside the session's; what keeps it from starting is said once in the status bar.
#include <windows.h>

#include "monitor/app/monitor_app.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/resources/ui_text_ids.h"
#include "monitor/settings/settings_file.h"

namespace {

int StartTroubleText(DebugOutputSource::StartResult result) {
  switch (result) {
    case DebugOutputSource::StartResult::kNoRight: return IDS_STATUS_GLOBAL_DEBUG_NO_RIGHT;
    case DebugOutputSource::StartResult::kInUse: return IDS_STATUS_GLOBAL_DEBUG_IN_USE;
    case DebugOutputSource::StartResult::kStarted:
    case DebugOutputSource::StartResult::kFailed: break;
  }
  return IDS_STATUS_GLOBAL_DEBUG_FAILED;
}

void CheckGlobalItem(HWND window, bool on) {
  if (window) CheckMenuItem(GetMenu(window), ID_VIEW_GLOBAL_DEBUG_OUTPUT, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void MonitorApp::SetGlobalDebugCapture(bool on) {
  DebugOutputSource& global = receiver.globalDebugOutput();
  captureGlobalDebugOutput = false;
  if (!on) {
    global.Stop();
  } else if (DebugOutputSource::SessionIsGlobal()) {
    // In session 0 the session's names are the global ones: View > Capture OutputDebugString
    // hears the services already, and a second listener would only find the first.
    captureGlobalDebugOutput = true;
  } else {
    const DebugOutputSource::StartResult started = global.Start();
    captureGlobalDebugOutput = started == DebugOutputSource::StartResult::kStarted;
    if (!captureGlobalDebugOutput) ShowStatusNotice(StartTroubleText(started));
  }
  CheckGlobalItem(mainWindow, captureGlobalDebugOutput);
}

// Saved at every toggle as what it turned to: a capture that could not start stays off.
void MonitorApp::ToggleGlobalDebugCapture() {
  SetGlobalDebugCapture(!captureGlobalDebugOutput);
  WriteSetting(settings_keys::kCaptureGlobalDebugOutput, captureGlobalDebugOutput ? 1 : 0);
}

void MonitorApp::StopFailedGlobalDebugCapture() {
  DebugOutputSource& global = receiver.globalDebugOutput();
  if (!global.Failed()) return;
  // Its objects closed, so that no service waits for it; what it queued is still shown.
  global.Stop();
  captureGlobalDebugOutput = false;
  CheckGlobalItem(mainWindow, false);
  ShowStatusNotice(IDS_STATUS_GLOBAL_DEBUG_FAILED);
}
