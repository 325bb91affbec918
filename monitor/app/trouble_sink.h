// TroubleSink: where a component reports a trouble the user is to hear of. The main window shows
// each in a message box from its message loop, never from inside a tick, whose timer would run
// again under the box.
#pragma once

#include <windows.h>

class TroubleSink {
 public:
  enum Trouble : WPARAM {
    kChannelInUse, kLogStopped, kDebugOutputInUse, kDebugOutputFailed, kLogNotRotated, kFilterRulesUnreadable,
    kConsoleMemoryShort
  };
  // `error`: the system's error code, where there is one.
  virtual void NotifyTrouble(Trouble trouble, DWORD error) = 0;

 protected:
  ~TroubleSink() = default;  // never deleted through this interface
};
