// vigilo.exe opening a large file: a file of text lines (1 GiB unless given in MiB) named on its
// command line, the time until the status bar shows the first progress and until it says the
// file was read, and the window's answer times meanwhile (WM_NULL every 10 ms from a thread of
// its own, as the ingest benchmark probes). Prints figures; never a pass or a fail.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/answer_probe.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"
#include "support/status_bar_text.h"

namespace {

// The status bar part that names the file ("big.log: N% read" while reading, "big.log (lines: ...)" after).
std::string FilePart(HWND bar) {
  const std::vector<int> parts = StatusBarParts(bar);
  for (int i = 0; i < int(parts.size()); ++i) {
    const std::string text = StatusBarText(bar, i);
    if (text.rfind("big.log", 0) == 0) return text;
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned long mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1024;
  ScratchDir dir;
  {
    // Lines like the monitor's log: stamp, sender, text.
    std::string block;
    char line[160];
    for (unsigned n = 0; block.size() < (8u << 20); ++n) {
      std::snprintf(line, sizeof line, "12:34:56.789 [%u worker.exe] request %u handled in %u ms, status ok\r\n",
                    1000 + n % 7, n, n % 97);
      block += line;
    }
    const HANDLE file = CreateFileA(dir.File("big.log").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    for (uint64_t written = 0; written < uint64_t(mib) << 20; written += block.size()) {
      DWORD done = 0;
      WriteFile(file, block.data(), DWORD(block.size()), &done, nullptr);
    }
    CloseHandle(file);
  }
  const DWORD start = GetTickCount();
  MonitorProcess monitor(dir.path(), "[system]\r\nlanguage=0\r\n", "big.log");
  if (!monitor.WaitForWindow(60000)) return 1;
  AnswerProbe probe(monitor.window());
  DWORD firstProgress = 0;
  std::string said;
  WaitUntil(
      [&] {
        said = FilePart(monitor.statusBar());
        if (!said.empty() && firstProgress == 0) firstProgress = GetTickCount() - start;
        return said.find("(lines: ") != std::string::npos;
      },
      600000);
  const DWORD elapsed = GetTickCount() - start;
  probe.Stop();
  std::printf("opened %lu MiB of text: first progress after %lu ms, read after %lu ms (%.1f MB/s from start)\n", mib,
              static_cast<unsigned long>(firstProgress), static_cast<unsigned long>(elapsed),
              (double(mib) * 1048576 / 1e6) / (elapsed / 1000.0));
  std::printf("status bar at the end: %s\n", said.c_str());
  const std::vector<double>& answers = probe.milliseconds();
  std::printf("window answer (WM_NULL every 10 ms, %zu probes): p50 %.1f ms, p99 %.1f ms, longest %.1f ms\n",
              answers.size(), Percentile(answers, 0.5), Percentile(answers, 0.99), Percentile(answers, 1.0));
  monitor.Exit();
  return 0;
}
