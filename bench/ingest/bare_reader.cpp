// bare_reader: the reference reader of the ingest benchmarks. It receives as the monitor does
// (a 50 ms timer tick, at most 500 messages per tick) but shows nothing: what it reaches is the
// most the channel lets through at that tick, and the monitor's rate is measured against it.
//
//   bare_reader mailslot RESULT_FILE      owns the monitor's mailslot
//   bare_reader debug-output RESULT_FILE  listens to OutputDebugString
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

int DrainMailslot(MailslotSource& source, Tally& tally) {
  int taken = 0;
  while (taken < kPerTick && source.Next() == MailslotSource::Result::kMessage) {
    tally.texts.emplace_back(reinterpret_cast<const char*>(source.text()), source.length());
    ++taken;
  }
  return taken;
}

int DrainDebugOutput(DebugOutputSource& source, Tally& tally) {
  int taken = 0;
  DebugMessage message;
  while (taken < kPerTick && source.Next(message)) {
    tally.texts.push_back(message.text);
    ++taken;
  }
  return taken;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 1;
  const bool debugOutput = std::strcmp(argv[1], "debug-output") == 0;
  MailslotSource mailslot;
  DebugOutputSource listener;
  if (debugOutput ? listener.Start() != DebugOutputSource::StartResult::kStarted : !mailslot.Open()) return 2;

  scoped::Handle ready(CreateEventA(nullptr, TRUE, FALSE, "vigilo_bench_reader_ready"));
  scoped::Handle stop(CreateEventA(nullptr, TRUE, FALSE, "vigilo_bench_reader_stop"));
  // The monitor's own tick: a thread timer delivered through the message loop.
  const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, nullptr);
  SetEvent(ready.get());
  Tally tally;
  MSG message;
  while (WaitForSingleObject(stop.get(), 0) == WAIT_TIMEOUT && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message != WM_TIMER) continue;
    const DWORD start = GetTickCount();
    const int taken = debugOutput ? DrainDebugOutput(listener, tally) : DrainMailslot(mailslot, tally);
    tally.Tick(taken, GetTickCount() - start);
  }
  KillTimer(nullptr, timer);
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
