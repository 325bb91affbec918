// tellitcap's ingest rate against a bare reader of the same channel, in alternating rounds: W
// writer processes send N numbered messages in all through tellit.dll while either tellitcap.exe
// -o FILE --count N+W (each writer's banner counts) or the bare reader (this program with --bare:
// it reads the mailslot on a thread, as fast as datagrams come, and counts) receives them.
// Each round times both from the writers' start to the reader's exit; prints each round's rates
// and ratio, then for every case the median of the per-round ratios and their spread, and
// whether tellitcap lost any message. Cases: 1 and 4 writers, text and JSON, without and with 10
// filter rules that keep every message.
//
//   capture_bench [messages] [rounds]
// New writers each round: under Wine a client that keeps its handle keeps the mailslot alive,
// and the next round's reader could not create it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "receiving/mailslot_source.h"
#include "scoped/scoped_win.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"
#include "tellit.h"

namespace {

const char kGoEvent[] = "tellit_capture_bench_go";
const char kReadySemaphore[] = "tellit_capture_bench_ready";
constexpr DWORD kLimitMs = 600000;

// A writer: numbers first .. first+count-1, once every writer is ready and the clock runs.
int RunWriter(int first, int count) {
  const scoped::Handle go(OpenEventA(SYNCHRONIZE, FALSE, kGoEvent));
  const scoped::Handle ready(OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, kReadySemaphore));
  if (!go || !ready) return 2;
  ReleaseSemaphore(ready.get(), 1, nullptr);
  if (WaitForSingleObject(go.get(), kLimitMs) != WAIT_OBJECT_0) return 2;
  int sent = 0;
  for (int i = first; i < first + count; ++i) sent += tellitf("%d\n", i) > 0 ? 1 : 0;
  return sent == count ? 0 : 1;
}

// The bare reader's thread: reads until `expected` datagrams came, looking again within 1 ms,
// doubling up to 4 ms, while none is queued, as tellitcap's reading thread does.
struct BareCount {
  MailslotSource* mailslot;
  long expected;
  long taken = 0;
};

DWORD WINAPI BareRead(void* argument) {
  auto* count = static_cast<BareCount*>(argument);
  DWORD idle = 1;
  while (count->taken < count->expected) {
    const MailslotSource::Result result = count->mailslot->Next();
    if (result == MailslotSource::Result::kMessage || result == MailslotSource::Result::kSkipped) {
      ++count->taken;
      idle = 1;
    } else if (result == MailslotSource::Result::kBroken) {
      return 1;
    } else {
      Sleep(idle);
      idle = idle * 2 > 4 ? 4 : idle * 2;
    }
  }
  return 0;
}

int RunBareReader(long expected) {
  MailslotSource mailslot;
  if (!mailslot.Open()) return 2;
  BareCount count{&mailslot, expected};
  const scoped::Handle thread(CreateThread(nullptr, 0, BareRead, &count, 0, nullptr));
  if (!thread) return 3;
  WaitForSingleObject(thread.get(), INFINITE);
  DWORD code = 1;
  GetExitCodeThread(thread.get(), &code);
  return static_cast<int>(code);
}

scoped::Handle Start(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return scoped::Handle();
  }
  CloseHandle(info.hThread);
  return scoped::Handle(info.hProcess);
}

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// How many of the numbers 0..count-1 the file lacks; each line holds one (text: "i\r\n", JSON:
// "text":"i\n"), the banner lines none.
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

struct Case {
  int writers;
  bool json;
  bool rules;
};

// Ten rules that keep every message and are all asked: a program include that matches the
// writers, and nine text excludes that match nothing.
const char kTenRules[] =
    "--program \"*capture_bench*\" --exclude \"*error*\" --exclude \"*warning*\" --exclude \"*fatal*\" "
    "--exclude \"*heartbeat*\" --exclude \"*debug?trace*\" --exclude \"a*b*c\" --exclude \"*timeout*\" "
    "--exclude \"*retry*\" --exclude \"*x?y?z*\"";

struct Run {
  double seconds = 0;  // the writers' start to the reader's exit
  bool ok = false;
  int missing = 0;
};

// One reader (tellitcap when `file` is not empty, else the bare reader) against the writers.
Run RunOnce(const Case& c, int count, const std::string& file) {
  Run run;
  const std::string folder = BinDirectory();
  const long expected = count + c.writers;  // each writer's banner too
  scoped::Handle reader;
  if (file.empty()) {
    reader = Start("\"" + folder + "\\capture_bench.exe\" --bare " + std::to_string(expected));
  } else {
    DeleteFileA(file.c_str());
    reader = Start("\"" + folder + "\\tellitcap.exe\" " + (c.json ? "--json " : "") + (c.rules ? kTenRules : "") +
                   " -o \"" + file + "\" --count " + std::to_string(expected) + " --seconds 600");
  }
  if (!reader) return run;
  if (!WaitUntil([&] { return MailslotExists() || WaitForSingleObject(reader.get(), 0) == WAIT_OBJECT_0; }, 10000)) {
    TerminateProcess(reader.get(), 9);
    return run;
  }
  const scoped::Handle go(CreateEventA(nullptr, TRUE, FALSE, kGoEvent));
  const scoped::Handle ready(CreateSemaphoreA(nullptr, 0, c.writers, kReadySemaphore));
  std::vector<scoped::Handle> writers;
  const int share = count / c.writers;
  for (int w = 0; w < c.writers; ++w) {
    const int first = w * share;
    const int mine = w == c.writers - 1 ? count - first : share;
    writers.push_back(Start("\"" + folder + "\\capture_bench.exe\" --writer " + std::to_string(first) + " " +
                            std::to_string(mine)));
  }
  bool allReady = true;
  for (int w = 0; w < c.writers; ++w) {
    allReady = allReady && writers[w] && WaitForSingleObject(ready.get(), 30000) == WAIT_OBJECT_0;
  }
  if (allReady) {
    const double start = Now();
    SetEvent(go.get());
    const bool ended = WaitForSingleObject(reader.get(), kLimitMs) == WAIT_OBJECT_0;
    run.seconds = Now() - start;
    DWORD status = 1;
    GetExitCodeProcess(reader.get(), &status);
    run.ok = ended && status == 0;
    for (const scoped::Handle& writer : writers) {
      DWORD writerStatus = 1;
      run.ok = run.ok && WaitForSingleObject(writer.get(), 30000) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(writer.get(), &writerStatus) && writerStatus == 0;
    }
  }
  for (const scoped::Handle& writer : writers) {
    if (writer) TerminateProcess(writer.get(), 9);
  }
  TerminateProcess(reader.get(), 9);
  if (!file.empty()) {
    run.missing = Missing(ReadWholeFile(file), count, c.json);
    DeleteFileA(file.c_str());
  }
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--writer") == 0) return RunWriter(std::atoi(argv[2]), std::atoi(argv[3]));
  if (argc == 3 && std::strcmp(argv[1], "--bare") == 0) return RunBareReader(std::atol(argv[2]));
  const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string file = std::string(temp) + "capture_bench_" + std::to_string(GetCurrentProcessId()) + ".out";
  std::printf("%d messages tellitf(\"%%d\\n\", i) a round from W writer processes; tellitcap -o FILE against a\n"
              "bare reader that reads the mailslot on a thread and counts; %d alternating rounds a case\n",
              count, rounds);
  bool allOk = true;
  const Case cases[] = {{1, false, false}, {1, true, false}, {1, false, true}, {1, true, true},
                        {4, false, false}, {4, true, false}, {4, false, true}, {4, true, true}};
  std::vector<std::string> summary;
  for (const Case& c : cases) {
    const std::string name = std::to_string(c.writers) + (c.writers == 1 ? " writer,  " : " writers, ") +
                             (c.json ? "json" : "text") + (c.rules ? ", 10 rules" : ", no rules");
    std::vector<double> ratios;
    int missing = 0;
    for (int r = 1; r <= rounds; ++r) {
      // Alternating: the bare reader first in odd rounds, tellitcap first in even ones.
      Run bare, capture;
      if (r % 2) {
        bare = RunOnce(c, count, "");
        capture = RunOnce(c, count, file);
      } else {
        capture = RunOnce(c, count, file);
        bare = RunOnce(c, count, "");
      }
      const double bareRate = bare.seconds > 0 ? count / bare.seconds : 0;
      const double captureRate = capture.seconds > 0 ? count / capture.seconds : 0;
      const double ratio = bareRate > 0 ? captureRate / bareRate : 0;
      ratios.push_back(ratio);
      missing += capture.missing;
      const bool ok = bare.ok && capture.ok && capture.missing == 0;
      allOk = allOk && ok;
      std::printf("  %s round %d: bare %8.0f/s  tellitcap %8.0f/s  ratio %.2f  missing %d%s\n", name.c_str(), r,
                  bareRate, captureRate, ratio, capture.missing, ok ? "" : "  [a reader or writer did not end cleanly]");
      std::fflush(stdout);
    }
    const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
    char line[160];
    std::snprintf(line, sizeof line, "  %-28s median ratio %.2f  spread %.2f .. %.2f  missing %d", name.c_str(),
                  Median(ratios), *low, *high, missing);
    summary.push_back(line);
  }
  std::printf("tellitcap against the bare reader (median of the per-round ratios):\n");
  for (const std::string& line : summary) std::printf("%s\n", line.c_str());
  std::printf("any message missing or a run unclean: %s\n", allOk ? "no" : "YES");
  return allOk ? 0 : 1;
}
