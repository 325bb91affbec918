// bare_reader: the reference readers of the ingest benchmarks. Both show nothing. The ticked one
// receives as the design's monitor did (a 50 ms timer tick, at most 500 messages per tick); the
// uncapped one reads as fast as messages come, looking again within a millisecond while they flow:
// what it reaches is the most the channel lets through, and the monitor's rate is measured
// against it.
//
//   bare_reader mailslot RESULT_FILE [uncapped]      owns the monitor's mailslot
//   bare_reader debug-output RESULT_FILE [uncapped]  listens to OutputDebugString
// Sets the event "vigilo_bench_reader_ready" once it receives, and stops when the event
// "vigilo_bench_reader_stop" is set. RESULT_FILE then gets one line per message text (in the
// order received) after a first line "ticks T busiest B in M ms": T ticks that took something,
// B the most one tick took, M the longest a tick took.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "receiving/debug_output_source.h"
#include "receiving/mailslot_source.h"

namespace {

constexpr UINT kTickMs = 50;
constexpr int kPerTick = 500;

struct Tally {
  std::vector<std::string> texts;
  int ticks = 0;
  int busiest = 0;
  DWORD longestMs = 0;
  void Tick(int taken, DWORD ms) {
    if (taken == 0) return;
    ++ticks;
    if (taken > busiest) busiest = taken;
    if (ms > longestMs) longestMs = ms;
  }
};

int DrainMailslot(MailslotSource& source, Tally& tally, int most = kPerTick) {
  int taken = 0;
  while (taken < most && source.Next() == MailslotSource::Result::kMessage) {
    tally.texts.emplace_back(reinterpret_cast<const char*>(source.text()), source.length());
    ++taken;
  }
  return taken;
}

int DrainDebugOutput(DebugOutputSource& source, Tally& tally, int most = kPerTick) {
  int taken = 0;
  DebugMessage message;
  while (taken < most && source.Next(message)) {
    tally.texts.push_back(message.text);
    ++taken;
  }
  return taken;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) return 1;
  const bool debugOutput = std::strcmp(argv[1], "debug-output") == 0;
  const bool uncapped = argc == 4 && std::strcmp(argv[3], "uncapped") == 0;
  MailslotSource mailslot;
  DebugOutputSource listener;
  if (debugOutput ? listener.Start() != DebugOutputSource::StartResult::kStarted : !mailslot.Open()) return 2;

  scoped::Handle ready(CreateEventA(nullptr, TRUE, FALSE, "vigilo_bench_reader_ready"));
  scoped::Handle stop(CreateEventA(nullptr, TRUE, FALSE, "vigilo_bench_reader_stop"));
  Tally tally;
  if (uncapped) {
    SetEvent(ready.get());
    DWORD idle = 1;
    for (;;) {
      const DWORD start = GetTickCount();
      const int taken = debugOutput ? DrainDebugOutput(listener, tally, 1 << 30) : DrainMailslot(mailslot, tally, 1 << 30);
      tally.Tick(taken, GetTickCount() - start);
      idle = taken != 0 ? 1 : (idle * 2 > 16 ? 16 : idle * 2);
      if (WaitForSingleObject(stop.get(), taken != 0 ? 0 : idle) == WAIT_OBJECT_0) break;
    }
  }
  // The monitor's own tick: a thread timer delivered through the message loop.
  const UINT_PTR timer = uncapped ? 0 : SetTimer(nullptr, 0, kTickMs, nullptr);
  if (!uncapped) SetEvent(ready.get());
  MSG message;
  while (!uncapped && WaitForSingleObject(stop.get(), 0) == WAIT_TIMEOUT && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message != WM_TIMER) continue;
    const DWORD start = GetTickCount();
    const int taken = debugOutput ? DrainDebugOutput(listener, tally) : DrainMailslot(mailslot, tally);
    tally.Tick(taken, GetTickCount() - start);
  }
  if (timer) KillTimer(nullptr, timer);
  // What arrived after the last tick still counts.
  tally.Tick(debugOutput ? DrainDebugOutput(listener, tally) : DrainMailslot(mailslot, tally), 0);

  FILE* out = std::fopen(argv[2], "wb");
  if (!out) return 3;
  std::fprintf(out, "ticks %d busiest %d in %lu ms\n", tally.ticks, tally.busiest,
               static_cast<unsigned long>(tally.longestMs));
  for (const std::string& text : tally.texts) std::fprintf(out, "%s", text.c_str());
  std::fclose(out);
  return 0;
}
