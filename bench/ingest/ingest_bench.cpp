// ingest_bench: how fast messages get through to vigilo.exe (with one view, with ten filter rules,
// and with eight views of fifteen rules each), to an uncapped bare reader and to a bare reader
// capped at 500 messages per 50 ms tick, in the same run, in alternating rounds, from one and from
// four writers; each vigilo round as a ratio to the uncapped reader of its own round, the median of
// those ratios with their spread; whether any message was missing; and how long vigilo's window
// took to answer while they flooded in.
//
//   ingest_bench mailslot [messages] [rounds]       writers call tellitf (default 24000, 7)
//   ingest_bench debug-output [messages] [rounds]   writers call OutputDebugStringA
// Writer processes are monitor_e2e_client.exe beside this program; bare_reader.exe is the
// reference reader. A round's time runs from starting the writers until the last has returned:
// under Wine a writer waits once a few hundred messages are queued, so the writers finish at the
// pace the reader drains. vigilo's console (8 MiB, half a million lines) holds every message of a
// round, so that it can be checked whole afterwards.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/answer_probe.h"
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

Round BareRound(bool debugOutput, int writers, int perWriter, bool uncapped) {
  Round round;
  ScratchDir dir;
  const std::string results = dir.File("received.txt");
  ChildProcess reader("\"" + BinDirectory() + "\\bare_reader.exe\" " + (debugOutput ? "debug-output " : "mailslot ") +
                          "\"" + results + "\"" + (uncapped ? " uncapped" : ""),
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

// Ten rules that keep every message of the round shown (an include that takes them all, excludes
// and highlights that take none or few), so that the console's text still counts them.
const char kTenRules[] =
    "[filters]\r\ncount=10\r\n"
    "rule 1=include;text;1;0;0;65535;w*\r\nrule 2=include;program;1;0;0;65535;no-such-program*\r\n"
    "rule 3=exclude;text;1;0;0;65535;*error*fatal*\r\nrule 4=exclude;text;1;1;0;65535;DROP?ME\r\n"
    "rule 5=exclude;program;1;0;0;65535;*.com\r\nrule 6=exclude;pid;1;0;0;65535;999999?\r\n"
    "rule 7=highlight;text;1;0;255;65535;w1 *7\r\nrule 8=highlight;text;1;0;255;65280;*warn*\r\n"
    "rule 9=highlight;program;1;0;0;16776960;ingest*\r\nrule 10=highlight;text;1;1;16711680;65535;*X?Y*Z\r\n";

// Eight views of fifteen rules each: the first view has none, so that its text counts every
// message; the others include, exclude and highlight by text, program and process.
std::string EightViews() {
  std::string ini;
  for (int view = 2; view <= 8; ++view) {
    ini += "[view " + std::to_string(view) + "]\r\ncount=15\r\n";
    const char* const kRules[] = {
        "include;text;1;0;0;65535;w*", "include;program;1;0;0;65535;*client*", "exclude;text;1;0;0;65535;*error*fatal*",
        "exclude;text;1;1;0;65535;DROP?ME", "exclude;program;1;0;0;65535;*.com", "exclude;pid;1;0;0;65535;999999?",
        "highlight;text;1;0;255;65535;w1 *7", "highlight;text;1;0;255;65280;*warn*",
        "highlight;program;1;0;0;16776960;ingest*", "highlight;text;1;1;16711680;65535;*X?Y*Z",
        "exclude;text;1;0;0;65535;*w? 12345*", "highlight;text;1;0;255;255;*9", "include;pid;1;0;0;65535;1*",
        "exclude;program;1;1;0;65535;NOISY*", "highlight;text;1;0;0;255;w* 1*"};
    for (int rule = 0; rule < 15; ++rule) {
      ini += "rule " + std::to_string(rule + 1) + "=" + kRules[(rule + view) % 15] + "\r\n";
    }
  }
  return ini;
}

enum class Views { kOne, kTenRules, kEightViews };

Round MonitorRound(bool debugOutput, int writers, int perWriter, std::vector<double>& answers, Views views) {
  Round round;
  ScratchDir dir;
  MonitorProcess monitor(dir.path(), std::string("[system]\r\nlanguage=0\r\n") +
                                         (debugOutput ? "capture debug output=1\r\n" : "") +
                                         (views == Views::kEightViews ? "views=8\r\n" : "") +
                                         "[console]\r\nbuffer size=8192\r\n" +
                                         (views == Views::kTenRules ? kTenRules : "") +
                                         (views == Views::kEightViews ? EightViews() : ""));
  if (!monitor.WaitForWindow()) {
    round.detail = "vigilo.exe did not start";
    round.missing = writers * perWriter;
    return round;
  }
  AnswerProbe probe(monitor.window());
  const DWORD elapsed = RunWriters(debugOutput, writers, perWriter);
  probe.Stop();
  answers.insert(answers.end(), probe.milliseconds().begin(), probe.milliseconds().end());
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

// What one number of writers gives: each reader's rates by round, and vigilo's ratio to the
// uncapped reader of the same round.
void RunRounds(bool debugOutput, int writers, int messages, int rounds, std::vector<double>& answers) {
  const int perWriter = messages / writers;
  std::printf("%d writer process(es), %d messages each, %d rounds\n", writers, perWriter, rounds);
  struct Reader {
    const char* name;
    std::function<Round()> run;
    std::vector<double> rates;
    int missing = 0;
  };
  Reader readers[] = {
      {"uncapped reader     ", [&] { return BareRound(debugOutput, writers, perWriter, true); }, {}, 0},
      {"500-per-tick        ", [&] { return BareRound(debugOutput, writers, perWriter, false); }, {}, 0},
      {"vigilo.exe          ", [&] { return MonitorRound(debugOutput, writers, perWriter, answers, Views::kOne); }, {}, 0},
      {"vigilo, 10 rules    ", [&] { return MonitorRound(debugOutput, writers, perWriter, answers, Views::kTenRules); }, {}, 0},
      {"vigilo, 8 views x 15", [&] { return MonitorRound(debugOutput, writers, perWriter, answers, Views::kEightViews); }, {}, 0},
  };
  const int readerCount = int(sizeof readers / sizeof readers[0]);
  for (int r = 0; r < rounds; ++r) {
    // Alternating, with the order turned every round, so that a drift of the machine's speed
    // falls on all alike.
    for (int slot = 0; slot < readerCount; ++slot) {
      Reader& reader = readers[(slot + r) % readerCount];
      const Round round = reader.run();
      reader.rates.push_back(round.rate);
      reader.missing += round.missing;
      std::printf("  round %d  %s %8.0f msg/s  missing %d  %s\n", r + 1, reader.name, round.rate, round.missing,
                  round.detail.c_str());
    }
  }
  const std::vector<double>& uncapped = readers[0].rates;
  for (const Reader& reader : readers) {
    std::printf("  %s median %8.0f msg/s, missing %d", reader.name, Median(reader.rates), reader.missing);
    if (&reader != &readers[0]) {
      // The ratio of each round to the uncapped reader of the same round: its median and spread.
      std::vector<double> ratios;
      for (size_t i = 0; i < reader.rates.size() && i < uncapped.size(); ++i) {
        if (uncapped[i] > 0) ratios.push_back(reader.rates[i] / uncapped[i]);
      }
      std::sort(ratios.begin(), ratios.end());
      if (!ratios.empty()) {
        std::printf("; to uncapped: median %.2f, rounds %.2f .. %.2f", Median(ratios), ratios.front(), ratios.back());
      }
    }
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool debugOutput = argc > 1 && std::strcmp(argv[1], "debug-output") == 0;
  const int messages = argc > 2 ? std::atoi(argv[2]) : 24000;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 7;
  std::printf("ingest through %s: %d messages per round, %d rounds, from 1 and from 4 writers\n",
              debugOutput ? "OutputDebugStringA" : "tellitf", messages, rounds);
  std::vector<double> answers;
  for (const int writers : {1, 4}) RunRounds(debugOutput, writers, messages, rounds, answers);
  std::printf("window answer (WM_NULL every 10 ms, %zu probes): p50 %.1f ms, p99 %.1f ms, longest %.1f ms\n",
              answers.size(), Percentile(answers, 0.5), Percentile(answers, 0.99), Percentile(answers, 1.0));
  return 0;
}
