// Intake: the mailslot and the debug-output listeners drained on every timer tick into the sink,
// which shows each message in the console and the log; the mailslot created again when it could
// not be created or its handle broke; View > Capture Global Debug Output, the listener on the
// global objects, where services write, beside the session's, and what keeps it from starting,
// said once in the status bar.
#include "monitor/app/intake.h"

#include "monitor/app/window_messages.h"
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

bool Intake::StartReceiver() {
  if (receiver_.MailslotOpen()) return true;
  lastChannelAttempt_ = GetTickCount();
  if (!receiver_.OpenMailslot()) {
    const DWORD error = GetLastError();
    if (!channelDown_) {
      channelDown_ = true;
      troubles_.NotifyTrouble(TroubleSink::kChannelInUse, error);
    }
    return false;
  }
  channelDown_ = false;
  // Without the thread the tick reads the mailslot.
  if (options_.readOnThread) receiver_.StartReading(window_, kWakeMessage);
  return true;
}

void Intake::StopReceiver() { receiver_.CloseMailslot(); }

void Intake::ReopenReceiver() {
  StopReceiver();
  StartReceiver();
}

void Intake::DrainMailslot() {
  if (!receiver_.MailslotOpen()) {
    if (GetTickCount() - lastChannelAttempt_ < kRetryPeriodMs || !StartReceiver()) return;
  }
  DrainBudget budget(options_.tickLimits, options_.tickClock);
  // The handle broke: the channel is created again, never given up.
  if (receiver_.DrainMailslot(sink_, budget) == Receiver::Drained::kBroken) ReopenReceiver();
}

void Intake::SetDebugCapture(bool on) {
  bool capturing = false;
  if (on) {
    switch (receiver_.debugOutput().Start()) {
      case DebugOutputSource::StartResult::kStarted:
        capturing = true;
        break;
      case DebugOutputSource::StartResult::kInUse:
        troubles_.NotifyTrouble(TroubleSink::kDebugOutputInUse, ERROR_ALREADY_EXISTS);
        break;
      case DebugOutputSource::StartResult::kNoRight:
      case DebugOutputSource::StartResult::kFailed:
        troubles_.NotifyTrouble(TroubleSink::kDebugOutputFailed, receiver_.debugOutput().startError());
        break;
    }
  } else {
    receiver_.debugOutput().Stop();
  }
  if (window_) {
    CheckMenuItem(GetMenu(window_), ID_VIEW_DEBUG_OUTPUT, MF_BYCOMMAND | (capturing ? MF_CHECKED : MF_UNCHECKED));
  }
}

// Saved at every toggle as what it turned to: a capture that could not start stays off.
void Intake::ToggleDebugCapture() {
  SetDebugCapture(!receiver_.debugOutput().IsRunning());
  WriteSetting(settings_keys::kCaptureDebugOutput, receiver_.debugOutput().IsRunning() ? 1 : 0);
}

void Intake::DrainDebugOutput() {
  DebugOutputSource& listener = receiver_.debugOutput();
  if (listener.Failed()) {
    // The listener ended by itself: close its objects, so that no sender waits for it.
    const DWORD error = listener.FailureCode();
    listener.Stop();
    if (window_) CheckMenuItem(GetMenu(window_), ID_VIEW_DEBUG_OUTPUT, MF_BYCOMMAND | MF_UNCHECKED);
    troubles_.NotifyTrouble(TroubleSink::kDebugOutputFailed, error);
  }
  StopFailedGlobalDebugCapture();
  DrainBudget budget(options_.tickLimits, options_.tickClock);
  receiver_.DrainDebugOutput(sink_, budget);
}

void Intake::Stop() {
  receiver_.debugOutput().Stop();
  receiver_.globalDebugOutput().Stop();
  StopReceiver();
}

void Intake::TellUnkept() {
  if (receiver_.unkept() == unkeptSeen_) return;
  // A receiving thread lost messages for want of memory: told where they were, and here.
  unkeptSeen_ = receiver_.unkept();
  notice_(IDS_STATUS_UNKEPT);
}

void Intake::SetGlobalDebugCapture(bool on) {
  DebugOutputSource& global = receiver_.globalDebugOutput();
  captureGlobalDebugOutput_ = false;
  if (!on) {
    global.Stop();
  } else if (DebugOutputSource::SessionIsGlobal()) {
    // In session 0 the session's names are the global ones: View > Capture OutputDebugString
    // hears the services already, and a second listener would only find the first.
    captureGlobalDebugOutput_ = true;
  } else {
    const DebugOutputSource::StartResult started = global.Start();
    captureGlobalDebugOutput_ = started == DebugOutputSource::StartResult::kStarted;
    if (!captureGlobalDebugOutput_) notice_(StartTroubleText(started));
  }
  CheckGlobalItem(window_, captureGlobalDebugOutput_);
}

// Saved at every toggle as what it turned to: a capture that could not start stays off.
void Intake::ToggleGlobalDebugCapture() {
  SetGlobalDebugCapture(!captureGlobalDebugOutput_);
  WriteSetting(settings_keys::kCaptureGlobalDebugOutput, captureGlobalDebugOutput_ ? 1 : 0);
}

void Intake::StopFailedGlobalDebugCapture() {
  DebugOutputSource& global = receiver_.globalDebugOutput();
  if (!global.Failed()) return;
  // Its objects closed, so that no service waits for it; what it queued is still shown.
  global.Stop();
  captureGlobalDebugOutput_ = false;
  CheckGlobalItem(window_, false);
  notice_(IDS_STATUS_GLOBAL_DEBUG_FAILED);
}
