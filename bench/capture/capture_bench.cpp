// tellitcap's ingest rate: a writer process sends N numbered messages through tellit.dll while
// tellitcap.exe -o FILE --count N+1 (its banner counts) receives them; prints messages per second
// from the first send to tellitcap's exit, in text and in JSON form, and whether any was missing.
//
//   capture_bench [messages] [rounds]
// Each round starts a new writer (this program with --writer N): under Wine a client that keeps
// its handle keeps the mailslot alive, and the next round's tellitcap could not create it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/monitor_process.h"
#include "support/scratch_dir.h"
#include "tellit.h"

namespace {

const char kGoEvent[] = "tellit_capture_bench_writer_go";

int RunWriter(int count) {
  const HANDLE go = OpenEventA(EVENT_MODIFY_STATE, FALSE, kGoEvent);
  if (!go) return 2;
  SetEvent(go);  // the clock starts now
  CloseHandle(go);
  int sent = 0;
  for (int i = 0; i < count; ++i) sent += tellitf("%d\n", i) > 0 ? 1 : 0;
  return sent == count ? 0 : 1;
}

HANDLE Start(const std::string& commandLine, DWORD* processId = nullptr) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return nullptr;
  }
  CloseHandle(info.hThread);
  if (processId) *processId = info.dwProcessId;
  return info.hProcess;
}

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// How many of the numbers 0..count-1 the file lacks; each line holds one (text: "i\r\n", JSON:
// "text":"i\n"), the banner line none.
int Missing(const std::string& bytes, int count, bool json) {
  std::vector<char> seen(static_cast<size_t>(count), 0);
  const std::string marker = json ? "\"text\":\"" : "";
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
    std::size_t at = start;
    if (json) {
      at = bytes.find(marker, start);
      if (at == std::string::npos || at > end) continue;
      at += marker.size();
    }
    if (bytes[at] < '0' || bytes[at] > '9') continue;
    const long number = std::strtol(bytes.c_str() + at, nullptr, 10);
    if (number >= 0 && number < count) seen[static_cast<size_t>(number)] = 1;
  }
  return static_cast<int>(std::count(seen.begin(), seen.end(), 0));
}

struct Round {
  double seconds = 0;        // first send to tellitcap's exit
  double writerSeconds = 0;  // first send to the writer's exit
  int missing = -1;
  bool ok = false;
};

Round RunRound(int count, bool json) {
  Round round;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string file = std::string(temp) + "capture_bench_" + std::to_string(GetCurrentProcessId()) + ".out";
  DeleteFileA(file.c_str());
  const std::string folder = BinDirectory();
  const HANDLE capture = Start("\"" + folder + "\\tellitcap.exe\" " + (json ? "--json " : "") + "-o \"" + file +
                               "\" --count " + std::to_string(count + 1) + " --seconds 600");
  if (!capture) return round;
  for (int i = 0; i < 500 && !MailslotExists(); ++i) Sleep(10);
  const HANDLE go = CreateEventA(nullptr, TRUE, FALSE, kGoEvent);
  const HANDLE writer = Start("\"" + folder + "\\capture_bench.exe\" --writer " + std::to_string(count));
  double start = 0;
  if (writer && WaitForSingleObject(go, 30000) == WAIT_OBJECT_0) {
    start = Now();
    // Whichever ends first is timed at once, the other after it.
    const HANDLE both[2] = {writer, capture};
    constexpr DWORD kLimitMs = 600000;
    const DWORD first = WaitForMultipleObjects(2, both, FALSE, kLimitMs);
    const double firstEnd = Now();
    double writerEnd = 0;
    double captureEnd = 0;
    if (first == WAIT_OBJECT_0 || first == WAIT_OBJECT_0 + 1) {
      const bool writerFirst = first == WAIT_OBJECT_0;
      const bool secondEnded = WaitForSingleObject(both[writerFirst ? 1 : 0], kLimitMs) == WAIT_OBJECT_0;
      const double secondEnd = secondEnded ? Now() : 0;
      writerEnd = writerFirst ? firstEnd : secondEnd;
      captureEnd = writerFirst ? secondEnd : firstEnd;
    }
    DWORD captureStatus = 1;
    GetExitCodeProcess(capture, &captureStatus);
    round.seconds = captureEnd - start;
    round.writerSeconds = writerEnd - start;
    round.ok = captureEnd != 0 && writerEnd != 0 && captureStatus == 0;
  }
  round.missing = Missing(ReadWholeFile(file), count, json);
  if (writer) {
    TerminateProcess(writer, 9);
    CloseHandle(writer);
  }
  TerminateProcess(capture, 9);
  CloseHandle(capture);
  if (go) CloseHandle(go);
  DeleteFileA(file.c_str());
  return round;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::strcmp(argv[1], "--writer") == 0) return RunWriter(std::atoi(argv[2]));
  const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  std::printf("tellitcap -o FILE --count %d: one writer process, tellitf(\"%%d\\n\", i), %d rounds a form\n",
              count + 1, rounds);
  bool allOk = true;
  for (const bool json : {false, true}) {
    std::vector<double> rates;
    for (int r = 1; r <= rounds; ++r) {
      const Round round = RunRound(count, json);
      allOk = allOk && round.ok && round.missing == 0;
      const double rate = round.seconds > 0 ? count / round.seconds : 0;
      rates.push_back(rate);
      std::printf("  %-4s round %d: %8.3f s %9.0f messages/s (writer done after %.3f s), missing %d%s\n",
                  json ? "json" : "text", r, round.seconds, rate, round.writerSeconds, round.missing,
                  round.ok ? "" : "  [tellitcap or the writer did not end cleanly]");
    }
    std::sort(rates.begin(), rates.end());
    std::printf("  %-4s median: %.0f messages/s\n", json ? "json" : "text", rates[rates.size() / 2]);
  }
  std::printf("any message missing or a run unclean: %s\n", allOk ? "no" : "YES");
  return allOk ? 0 : 1;
}
