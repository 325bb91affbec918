// IntakeOptions: how the monitor takes in what it receives, given when the application record is
// made. The product takes the defaults; tests drive the ticks themselves, cap one limit at a time
// or lower the buffer ceiling.
#pragma once

#include <windows.h>

#include "receiving/drain_budget.h"
#include "receiving/file_time.h"

struct IntakeOptions {
  // The mailslot is read on a thread of its own, and each tick takes what it queued; tests that
  // drive the ticks themselves read on the GUI thread.
  bool readOnThread = true;
  // What one tick takes at most from each source: time above all, so that the window answers
  // while messages flood in; the bytes, so that a flood of large messages (each also written to
  // the log) cannot freeze it; and a count far above what a tick gets through, only as a safety.
  DrainLimits tickLimits{100000, 8u * 1024 * 1024, 30};
  DrainBudget::Clock tickClock = TickMilliseconds;
  // The convert buffer never grows beyond this; tests lower it, with the mailslot's ceiling, to
  // reach the oversize path under Wine, whose mailslots cut datagrams at 64 KiB.
  unsigned bufferCeiling = 0x100000;
};
