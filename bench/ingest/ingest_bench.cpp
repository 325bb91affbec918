// ingest_bench: how fast messages get through to the bare reader and to vigilo.exe, in the same
// run, in alternating rounds, and whether any was missing.
//
//   ingest_bench mailslot [messages] [rounds]       writers call tellitf (default 9000, 3)
//   ingest_bench debug-output [messages] [rounds]   writers call OutputDebugStringA
// Writer processes are monitor_e2e_client.exe beside this program; bare_reader.exe is the
// reference reader. A round's time runs from starting the writers until the last has returned:
// under Wine a writer waits once a few hundred messages are queued, so the writers finish at the
// pace the reader drains. The message count stays below the console's line table (10,000 lines),
// so that vigilo's console can be checked whole afterwards.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/monitor_process.h"
#include "support/scratch_dir.h"

namespace {

struct Round {
  double rate = 0;  // messages per second
  int missing = 0;  // messages absent, repeated or out of order
  std::string detail;
};

// Checks that every writer's numbered messages are present once and in order; returns how many
// are not. A line is "[pid name] w<k> <i>" for debug output, "w<k> <i>" for tellitf.
int Missing(const std::string& text, int writers, int perWriter) {
  std::map<int, int> next;
  int wrong = 0;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t at = line.find("w");
    int writer = -1, number = -1;
    if (line.rfind("<<", 0) == 0 || at == std::string::npos) continue;
    if (std::sscanf(line.c_str() + at, "w%d %d", &writer, &number) != 2) continue;
    if (number != next[writer]) ++wrong;
    next[writer] = number + 1;
  }
  for (int w = 0; w < writers; ++w) {
    const auto found = next.find(w);
    const int got = found == next.end() ? 0 : found->second;
    if (got < perWriter) wrong += perWriter - got;
  }
  return wrong;
}

// Starts the writers and waits until the last has returned; the elapsed milliseconds.
DWORD RunWriters(bool debugOutput, int writers, int perWriter) {
  std::vector<ChildProcess> clients;
  const DWORD start = GetTickCount();
  for (int w = 0; w < writers; ++w) {
    clients.emplace_back("\"" + BinDirectory() + "\\monitor_e2e_client.exe\" " + (debugOutput ? "debug " : "lines ") +
                             std::to_string(perWriter) + " w" + std::to_string(w),
                         "");
  }
  for (ChildProcess& client : clients) client.Wait(300000);
  return GetTickCount() - start;
}

Round BareRound(bool debugOutput, int writers, int perWriter) {
  Round round;
  ScratchDir dir;
  const std::string results = dir.File("received.txt");
  ChildProcess reader("\"" + BinDirectory() + "\\bare_reader.exe\" " + (debugOutput ? "debug-output " : "mailslot ") +
                          "\"" + results + "\"",
                      "");
  HANDLE ready = nullptr;
  WaitUntil([&] { return (ready = OpenEventA(SYNCHRONIZE, FALSE, "vigilo_bench_reader_ready")) != nullptr; }, 10000);
  if (!ready) {
    round.detail = "the bare reader did not start";
    round.missing = writers * perWriter;
    return round;
  }
  WaitForSingleObject(ready, 10000);
  CloseHandle(ready);
  const DWORD elapsed = RunWriters(debugOutput, writers, perWriter);
  Sleep(200);  // the last tick takes what the writers left queued
  const HANDLE stop = OpenEventA(EVENT_MODIFY_STATE, FALSE, "vigilo_bench_reader_stop");
  if (stop) {
    SetEvent(stop);
    CloseHandle(stop);
  }
  reader.Wait(10000);
  const std::string text = ReadWholeFile(results);
  round.rate = writers * perWriter * 1000.0 / (elapsed ? elapsed : 1);
  round.missing = Missing(text, writers, perWriter);
  round.detail = text.substr(0, text.find('\n'));
  return round;
}

Round MonitorRound(bool debugOutput, int writers, int perWriter) {
  Round round;
  ScratchDir dir;
  MonitorProcess monitor(dir.path(), std::string("[system]\r\nlanguage=0\r\n") +
                                         (debugOutput ? "capture debug output=1\r\n" : "") +
                                         "[console]\r\nbuffer size=1024\r\n");
  if (!monitor.WaitForWindow()) {
    round.detail = "vigilo.exe did not start";
    round.missing = writers * perWriter;
    return round;
  }
  const DWORD elapsed = RunWriters(debugOutput, writers, perWriter);
  std::string text;
  const std::string last = " " + std::to_string(perWriter - 1) + "\r\n";
  WaitUntil(
      [&] {
        text = monitor.ConsoleText();
        for (int w = 0; w < writers; ++w)
          if (text.find("w" + std::to_string(w) + last) == std::string::npos) return false;
        return true;
      },
      5000);
  round.rate = writers * perWriter * 1000.0 / (elapsed ? elapsed : 1);
  round.missing = Missing(text, writers, perWriter);
  monitor.Exit();
  return round;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const bool debugOutput = argc > 1 && std::strcmp(argv[1], "debug-output") == 0;
  const int messages = argc > 2 ? std::atoi(argv[2]) : 9000;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  std::printf("ingest through %s: %d messages per round, %d rounds\n",
              debugOutput ? "OutputDebugStringA" : "tellitf", messages, rounds);

  // Writers enough that one more no longer lifts the bare reader: the figure then measures the
  // reader, not the writers.
  int writers = 1;
  double best = 0;
  for (int candidate : {1, 2, 4, 8}) {
    const Round round = BareRound(debugOutput, candidate, messages / candidate);
    std::printf("  bare reader, %d writer(s): %8.0f msg/s, missing %d (%s)\n", candidate, round.rate, round.missing,
                round.detail.c_str());
    if (round.rate < best * 1.05) break;
    best = round.rate;
    writers = candidate;
  }
  std::printf("writers: %d processes\n", writers);

  const int perWriter = messages / writers;
  std::vector<double> bare, monitor;
  int missingBare = 0, missingMonitor = 0;
  for (int r = 0; r < rounds; ++r) {
    // Alternating, with the order swapped every round, so that a drift of the machine's speed
    // falls on both alike.
    for (int half = 0; half < 2; ++half) {
      const bool bareFirst = r % 2 == 0;
      if ((half == 0) == bareFirst) {
        const Round round = BareRound(debugOutput, writers, perWriter);
        bare.push_back(round.rate);
        missingBare += round.missing;
        std::printf("  round %d  bare reader %8.0f msg/s  missing %d  (%s)\n", r + 1, round.rate, round.missing,
                    round.detail.c_str());
      } else {
        const Round round = MonitorRound(debugOutput, writers, perWriter);
        monitor.push_back(round.rate);
        missingMonitor += round.missing;
        std::printf("  round %d  vigilo.exe  %8.0f msg/s  missing %d\n", r + 1, round.rate, round.missing);
      }
    }
  }
  const double bareMedian = Median(bare), monitorMedian = Median(monitor);
  std::printf("median: bare reader %.0f msg/s, vigilo.exe %.0f msg/s, ratio %.2f; missing: bare %d, vigilo %d\n",
              bareMedian, monitorMedian, bareMedian > 0 ? monitorMedian / bareMedian : 0.0, missingBare,
              missingMonitor);
  return 0;
}
