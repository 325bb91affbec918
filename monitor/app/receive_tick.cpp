// The main window's receiving tick: both sources drained into the console, the opened files read
// on, and the console and the status bar drawn, less often while messages flood in; the timer
// slows down while nothing comes.
#include "monitor/app/monitor_app.h"

void MonitorApp::SetTickPeriod(UINT milliseconds) {
  if (!mainWindow || tickPeriod == milliseconds) return;
  if (SetTimer(mainWindow, kReceiveTimer, milliseconds, nullptr)) tickPeriod = milliseconds;
}

void MonitorApp::Tick() {
  const uint64_t before = status_.Total();
  console.HoldPaint();
  intake_.DrainMailslot();
  intake_.DrainDebugOutput();
  const bool received = status_.Total() != before;
  if (received) views_.list().Forget(console.text.FirstMessageNumber());
  const bool filesBusy = files_.Count() != 0 && files_.Step();
  intake_.TellUnkept();
  // While messages flood in, tick after tick, the console and the status bar are drawn at most
  // every kFloodPaintPeriodMs: drawing them every tick took CPU time the senders needed.
  const DWORD now = GetTickCount();
  const bool flooding = received && floodTicks > 0;
  floodTicks = received ? floodTicks + 1 : 0;
  if (!flooding || now - lastPaintRequest >= kFloodPaintPeriodMs) {
    console.ReleasePaint(true);
    status_.Update();
    lastPaintRequest = now;
  } else {
    console.ReleasePaint(false);
  }
  if (received || intake_.queued() != 0 || filesBusy) {
    idleTicks = 0;
    SetTickPeriod(kTickPeriodMs);
  } else if (++idleTicks >= kTicksBeforeIdle) {
    SetTickPeriod(kIdleTickPeriodMs);
  }
}
