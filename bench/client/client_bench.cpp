// Cost of one tellitf call against a raw WriteFile of the same bytes and OutputDebugStringA with a listener,
// and of tellitwf and tellitu8f against tellitf, with ASCII text and with text the ANSI code page lacks.
//
//   client_bench [calls] [OutputDebugStringA calls]
// Starts itself again as the reader process (--reader), which owns the monitor's mailslot and
// drains it with blocking reads, and listens on DBWIN_BUFFER like a debug-output viewer. Each
// round times tellitf and the raw WriteFile back to back, in turns first, and prints their ratio
// (the goal is at most 1.10); the end prints the medians. Figures only: nothing fails on time.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "channel/channel.h"
#include "client/format_engine.h"
#include "tellit.h"

namespace {

const char kReadyEvent[] = "tellit_client_bench_reader_ready";
const char kQuit[] = "\x01quit";

// The DBWIN protocol: a 4 KiB mapping (process id, then text), the writer waits for
// DBWIN_BUFFER_READY, fills the mapping and sets DBWIN_DATA_READY.
class DebugOutputListener {
 public:
  DebugOutputListener() {
    bufferReady_ = CreateEventA(nullptr, FALSE, TRUE, "DBWIN_BUFFER_READY");
    dataReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER");
    view_ = mapping_ ? static_cast<char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 4096)) : nullptr;
    thread_ = std::thread([this] { Run(); });
  }
  ~DebugOutputListener() {
    stop_ = true;
    thread_.join();
    if (view_) UnmapViewOfFile(view_);
    for (HANDLE h : {mapping_, dataReady_, bufferReady_}) {
      if (h) CloseHandle(h);
    }
  }
  bool ready() const { return bufferReady_ && dataReady_ && view_; }
  long received() const { return received_; }

 private:
  void Run() {
    char text[4096];
    while (!stop_) {
      if (WaitForSingleObject(dataReady_, 100) != WAIT_OBJECT_0) continue;
      std::memcpy(text, view_ + sizeof(DWORD), sizeof text - sizeof(DWORD));  // what a viewer shows
      ++received_;
      SetEvent(bufferReady_);
    }
  }

  HANDLE bufferReady_ = nullptr;
  HANDLE dataReady_ = nullptr;
  HANDLE mapping_ = nullptr;
  char* view_ = nullptr;
  volatile bool stop_ = false;
  volatile long received_ = 0;
  std::thread thread_;
};

int RunReader() {
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  HANDLE mailslot = CreateMailslotA(name, 0, MAILSLOT_WAIT_FOREVER, nullptr);
  if (mailslot == INVALID_HANDLE_VALUE) return -1;
  DebugOutputListener listener;
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, kReadyEvent);
  if (!ready || !listener.ready()) return -2;
  SetEvent(ready);
  CloseHandle(ready);
  std::vector<char> buffer(1 << 16);
  int datagrams = 0;
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(mailslot, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) break;
    if (read == sizeof kQuit && std::memcmp(buffer.data(), kQuit, read) == 0) break;
    ++datagrams;
  }
  CloseHandle(mailslot);
  std::printf("reader: %d datagrams from the mailslot, %ld debug strings from DBWIN_BUFFER\n", datagrams,
              listener.received());
  return datagrams;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Body>
double Time(int calls, Body body) {
  LARGE_INTEGER from, to;
  QueryPerformanceCounter(&from);
  for (int i = 0; i < calls; ++i) body(i);
  QueryPerformanceCounter(&to);
  return Seconds(from, to);
}

class FixedArguments final : public tellit::FormatArguments {
 public:
  explicit FixedArguments(int number) : number_(number) {}
  std::int32_t NextInt32() override { return number_; }
  std::int64_t NextInt64() override { return number_; }
  std::uint64_t NextUInt64() override { return static_cast<std::uint64_t>(number_); }
  double NextDouble() override { return 0.0; }
  double NextLongDouble() override { return 0.0; }
  const void* NextPointer() override { return nullptr; }
  const void* NextCountPointer() override { return nullptr; }
  int NextFieldValue() override { return 0; }
  const char* NextNarrowString() override { return "text"; }
  const wchar_t* NextWideString() override { return L"text"; }

 private:
  int number_;
};

// The benchmark's format has no string of the other width.
class NoConversion final : public tellit::TextConversion {
 public:
  tellit::Converted ToNarrow(const wchar_t*, char*, std::size_t) override { return {0, true}; }
  tellit::Converted ToWide(const char*, wchar_t*, std::size_t) override { return {0, true}; }
};

struct Row {
  const char* method;
  int calls;
  std::vector<double> seconds;
  double Median() const {
    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
  }
};

void Print(const Row& row, double seconds) {
  std::printf("  %-36s %8d calls %8.3f s %10.0f calls/s %8.2f us/call\n", row.method, row.calls, seconds,
              row.calls / seconds, seconds * 1e6 / row.calls);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--reader") == 0) return RunReader();
  const int calls = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int debugCalls = argc > 2 ? std::atoi(argv[2]) : 3000;
  constexpr int kRounds = 7;

  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, kReadyEvent);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string commandLine = std::string("\"") + self + "\" --reader";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION reader{};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &reader) ||
      WaitForSingleObject(ready, 20000) != WAIT_OBJECT_0) {
    std::printf("the reader process did not start\n");
    return 1;
  }
  if (tellitf("bench connects\n") <= 0) {
    std::printf("tellitf could not reach the reader\n");
    return 1;
  }

  // The same bytes tellitf sends, formatted before the clock starts.
  std::vector<std::string> preformatted(static_cast<size_t>(std::max(calls, debugCalls)));
  for (size_t i = 0; i < preformatted.size(); ++i) {
    char text[64];
    std::snprintf(text, sizeof text, "%d %s\n", static_cast<int>(i), "text");
    preformatted[i] = text;
  }
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  HANDLE raw = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) {
    std::printf("could not open the mailslot for raw writes\n");
    return 1;
  }

  Row formatter{"formatter engine alone (no send)", calls, {}};
  Row client{"tellitf(\"%d %s\\n\", i, \"text\")", calls, {}};
  Row writeFile{"WriteFile of the same bytes", calls, {}};
  Row debugString{"OutputDebugStringA, DBWIN listener", debugCalls, {}};
  // The other functions, with the same text and with Greek and an emoji, which travel exactly after the NUL.
  Row wide{"tellitwf(L\"%d %s\\n\", i, L\"text\")", calls, {}};
  Row wideExact{"tellitwf, Greek and an emoji", calls, {}};
  Row utf8{"tellitu8f(\"%d %s\\n\", i, \"text\")", calls, {}};
  Row utf8Exact{"tellitu8f, Greek and an emoji", calls, {}};
  // The lock each call takes now, and the unnamed kernel mutex it replaced.
  Row lockHold{"critical section enter + leave", calls, {}};
  Row mutexHold{"kernel mutex wait + release", calls, {}};
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  const Row* const rows[] = {&client,   &writeFile, &formatter, &lockHold, &mutexHold,
                             &debugString, &wide,    &wideExact, &utf8,     &utf8Exact};
  char buffer[4096];
  auto timeClient = [&] { client.seconds.push_back(Time(calls, [](int i) { tellitf("%d %s\n", i, "text"); })); };
  auto timeWriteFile = [&] {
    writeFile.seconds.push_back(Time(calls, [&](int i) {
      const std::string& text = preformatted[static_cast<size_t>(i)];
      DWORD written = 0;
      WriteFile(raw, text.c_str(), static_cast<DWORD>(text.size() + 1), &written, nullptr);
    }));
  };
  std::vector<double> ratios;
  for (int round = 1; round <= kRounds; ++round) {
    // Turns first, so that neither side always meets the reader's backlog of the other.
    const bool clientFirst = round % 2 == 1;
    if (clientFirst) {
      timeClient();
      timeWriteFile();
    } else {
      timeWriteFile();
      timeClient();
    }
    ratios.push_back(client.seconds.back() / writeFile.seconds.back());
    formatter.seconds.push_back(Time(calls, [&](int i) {
      FixedArguments arguments(i);
      NoConversion conversion;
      tellit::FormatText("%d %s\n", buffer, sizeof buffer, arguments, conversion);
    }));
    lockHold.seconds.push_back(Time(calls, [&](int) {
      EnterCriticalSection(&section);
      LeaveCriticalSection(&section);
    }));
    mutexHold.seconds.push_back(Time(calls, [&](int) {
      WaitForSingleObject(mutex, INFINITE);
      ReleaseMutex(mutex);
    }));
    debugString.seconds.push_back(
        Time(debugCalls, [&](int i) { OutputDebugStringA(preformatted[static_cast<size_t>(i)].c_str()); }));
    wide.seconds.push_back(Time(calls, [](int i) { tellitwf(L"%d %s\n", i, L"text"); }));
    wideExact.seconds.push_back(Time(calls, [](int i) { tellitwf(L"%d \x0395\x03bb\x03bb\x03b7\xd83d\xde00\n", i); }));
    utf8.seconds.push_back(Time(calls, [](int i) { tellitu8f("%d %s\n", i, "text"); }));
    utf8Exact.seconds.push_back(Time(calls, [](int i) { tellitu8f("%d \xce\x95\xce\xbb\xce\xbb\xce\xb7\xf0\x9f\x98\x80\n", i); }));
    std::printf("round %d (%s first)\n", round, clientFirst ? "tellitf" : "WriteFile");
    for (const Row* row : rows) Print(*row, row->seconds.back());
    std::printf("  tellitf / WriteFile: %.3f\n", ratios.back());
  }

  std::printf("median of %d rounds\n", kRounds);
  for (const Row* row : rows) Print(*row, row->Median());
  std::sort(ratios.begin(), ratios.end());
  const double perClient = client.Median() / client.calls;
  std::printf("tellitf / WriteFile:          %.3f median of the rounds' ratios (%.3f to %.3f); goal at most 1.10\n",
              ratios[ratios.size() / 2], ratios.front(), ratios.back());
  std::printf("tellitf / OutputDebugStringA: %.3f\n", perClient / (debugString.Median() / debugString.calls));
  std::printf("formatter share of tellitf:   %.1f %%\n", 100.0 * (formatter.Median() / formatter.calls) / perClient);
  for (const Row* row : {&wide, &wideExact, &utf8, &utf8Exact}) {
    std::printf("%-30s %.3f of tellitf\n", row->method, row->Median() / row->calls / perClient);
  }

  DeleteCriticalSection(&section);
  CloseHandle(mutex);
  DWORD written = 0;
  WriteFile(raw, kQuit, sizeof kQuit, &written, nullptr);
  CloseHandle(raw);
  WaitForSingleObject(reader.hProcess, 30000);
  DWORD received = 0;
  GetExitCodeProcess(reader.hProcess, &received);
  const long expected = 2L + 6L * kRounds * calls;  // banner, "bench connects", the rounds
  std::printf("reader counted %lu datagrams, %ld sent\n", static_cast<unsigned long>(received), expected);
  CloseHandle(reader.hThread);
  CloseHandle(reader.hProcess);
  CloseHandle(ready);
  return static_cast<long>(received) == expected ? 0 : 1;
}
