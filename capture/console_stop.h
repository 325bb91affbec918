// ConsoleStop: Ctrl+C, Ctrl+Break and the console's close turned into an event the capture loop
// waits on, so that every way of stopping ends through the same orderly path.
#pragma once

#include <windows.h>

#include "scoped/scoped_win.h"

namespace capture {

class ConsoleStop {
 public:
  // Installs the handler; one instance at a time (the handler is process-wide).
  ConsoleStop();
  ~ConsoleStop();
  ConsoleStop(const ConsoleStop&) = delete;
  ConsoleStop& operator=(const ConsoleStop&) = delete;

  bool installed() const { return installed_; }
  // Signalled once a stop was asked for.
  HANDLE event() const { return stop_.get(); }
  // Called by the owner once the output is written and the channel closed: a console that is
  // being closed waits for this before the system ends the process.
  void Finished();

 private:
  static BOOL WINAPI Handle(DWORD type);

  scoped::Handle stop_;
  scoped::Handle finished_;
  bool installed_ = false;
};

}  // namespace capture
