// ConsoleStop: the console control handler.
#include "capture/console_stop.h"

namespace capture {

namespace {

const ConsoleStop* current = nullptr;
HANDLE currentStop = nullptr;
HANDLE currentFinished = nullptr;

// The system ends the process some seconds after a close handler returns (5 s on Windows):
// wait less than that for the owner's last write.
constexpr DWORD kCloseWaitMs = 4000;

}  // namespace

ConsoleStop::ConsoleStop()
    : stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), finished_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  if (current || !stop_ || !finished_) return;
  current = this;
  currentStop = stop_.get();
  currentFinished = finished_.get();
  // A parent that ignores Ctrl+C (or started us in a new process group) passes that on to its
  // children: Ctrl+C must stop the capture all the same.
  SetConsoleCtrlHandler(nullptr, FALSE);
  installed_ = SetConsoleCtrlHandler(Handle, TRUE) != 0;
}

ConsoleStop::~ConsoleStop() {
  if (current != this) return;
  if (installed_) SetConsoleCtrlHandler(Handle, FALSE);
  current = nullptr;
  currentStop = nullptr;
  currentFinished = nullptr;
}

void ConsoleStop::Finished() {
  if (finished_) SetEvent(finished_.get());
}

BOOL WINAPI ConsoleStop::Handle(DWORD type) {
  // Runs on a thread the system starts for it; it only signals, the capture loop does the rest.
  if (!currentStop) return FALSE;
  // Any user's logoff reaches every console process, also one running for a service: a capture
  // on a server must not end because someone else logged off. A logoff of its own session ends
  // the process anyway, and the output is written at the end of every burst.
  if (type == CTRL_LOGOFF_EVENT) return TRUE;
  SetEvent(currentStop);
  if (type == CTRL_CLOSE_EVENT || type == CTRL_SHUTDOWN_EVENT) {
    // Returning lets the system end the process: first let the loop write what it holds.
    WaitForSingleObject(currentFinished, kCloseWaitMs);
  }
  return TRUE;
}

}  // namespace capture
