// History benchmark: stores of 64 KiB, 64 MiB and 1 GiB, full of 60-byte messages. Prints the
// append rate once full (old lines going), the row pass of a 120 x 50 cell paint at the end and in
// the middle, the same at the end with the senders and stamps drawn, a switch of them (what the
// console does for View > Senders: its range and one paint), a search without a match over everything, All Erase, and resident memory per stored
// message. Portable: built natively (optimised, by scripts/bench) and for Windows. Rounds alternate
// between the stores; "64 MiB8" is the 64 MiB store keeping UTF-8, as the monitor's does, beside
// the code page store of the same messages. Prints figures; never fails on time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <unistd.h>
#endif

#include "console/text_search.h"
#include "console/text_view.h"
#include "monitor/view/history_gutter.h"

namespace {

double Now() {
  using Clock = std::chrono::steady_clock;
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

double ResidentBytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? double(counters.WorkingSetSize) : 0;
#else
  long pages = 0, resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return 0;
  const int got = std::fscanf(statm, "%ld %ld", &pages, &resident);
  std::fclose(statm);
  return got == 2 ? double(resident) * double(sysconf(_SC_PAGESIZE)) : 0;
#endif
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// UTC from the FILETIME's own arithmetic: the bench needs a clock, not the zone.
line_stamps::ClockTime UtcClock(uint64_t fileTime) {
  const uint64_t ms = fileTime / 10000;
  return {int(ms / 3600000 % 24), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000)};
}

struct CountingPainter : RowPainter {
  long cells = 0;
  int DrawRun(int, int, const Cell*, int count, int) override {
    cells += count;
    return count * 8;
  }
  void FillEmpty(int, int, int, int) override {}
};

class Messages {
 public:
  Messages() {
    for (int n = 0; n < 1000; ++n) {
      char text[64];
      std::snprintf(text, sizeof text, "message %06d from a client, sixty bytes in all..........\r\n", n);
      texts_.emplace_back(text);  // 60 bytes
    }
  }
  void AppendOne(TextStore& store) {
    StoredMessage message;
    message.pid = 4242;
    message.program = store.programs.Intern("bench_client.exe");
    message.namesSender = 1;
    ++count_;
    message.SetTimes(count_ * 10000, count_ * 10000 - 5);
    store.BeginMessage(message);
    const std::string& text = texts_[count_ % texts_.size()];
    store.Append(reinterpret_cast<const uint8_t*>(text.data()), uint32_t(text.size()));
  }

 private:
  std::vector<std::string> texts_;
  uint64_t count_ = 0;
};

struct History {
  const char* name;
  uint32_t size;
  std::unique_ptr<TextStore> store;
  ConsoleSettings settings;
  TextView view;
  int window = 0;
  double fillSeconds = 0, memoryPerMessage = 0;
  std::vector<double> append, paintEnd, paintMiddle, find, paintNamed, toggle;
  bool utf8 = false;  // the monitor's store: UTF-8 text, East Asian widths
};

double RowPass(History& h, int vPos) {
  RowPassFrame frame;
  frame.left = 4;
  frame.top = 2;
  frame.right = 4 + 120 * 8;
  frame.bottom = 2 + 50 * 16;
  frame.vPos = vPos;
  frame.charWidth = 8;
  frame.lineHeight = 16;
  CountingPainter painter;
  const double start = Now();
  h.view.Paint(frame, painter);
  return Now() - start;
}

}  // namespace

int main() {
  History histories[] = {
      {"64 KiB", 64u << 10, nullptr, {}, {}, 0, 0, 0, {}, {}, {}, {}, {}, {}},
      {"64 MiB", 64u << 20, nullptr, {}, {}, 0, 0, 0, {}, {}, {}, {}, {}, {}},
      {"1 GiB", 1u << 30, nullptr, {}, {}, 0, 0, 0, {}, {}, {}, {}, {}, {}},
      {"64 MiB8", 64u << 20, nullptr, {}, {}, 0, 0, 0, {}, {}, {}, {}, {}, {}, true},
  };
  Messages messages;
  HistoryGutter gutter(UtcClock);
  std::printf("Stores of 60-byte messages, wrap column 256, line bound from the bytes\n");
  for (History& h : histories) {
    const double before = ResidentBytes();
    h.store.reset(new TextStore);
    h.store->utf8 = h.utf8;
    if (!h.store->Allocate(h.size, 0, 256) || h.store->capacity != h.size) {
      std::printf("%-7s could not be had (%u KB at most); left out\n", h.name, h.store->capacity / 1024);
      h.store.reset();
      continue;
    }
    h.settings.wrapColumn = 256;
    h.view.Attach(&h.window, *h.store, h.settings);
    const double start = Now();
    while (h.store->frontPosition == 0) messages.AppendOne(*h.store);  // full: the first line went
    h.fillSeconds = Now() - start;
    h.memoryPerMessage = (ResidentBytes() - before) / double(h.store->MessageCount());
  }
  const int rounds = 7;
  const int appendsPerRound = 200000;
  for (int round = 0; round < rounds; ++round) {
    for (History& h : histories) {
      if (!h.store) continue;
      double start = Now();
      for (int i = 0; i < appendsPerRound; ++i) messages.AppendOne(*h.store);
      h.append.push_back((Now() - start) / appendsPerRound);
      for (int i = 0; i < 20; ++i) {
        h.paintEnd.push_back(RowPass(h, int(h.store->lineCount) - 49));
        h.paintMiddle.push_back(RowPass(h, int(h.store->lineCount / 2)));
      }
      // Senders and stamps drawn: the paint, then each switch as the console makes it.
      h.view.gutter = &gutter;
      gutter.senders = gutter.stamps = true;
      for (int i = 0; i < 20; ++i) h.paintNamed.push_back(RowPass(h, int(h.store->lineCount) - 49));
      for (int i = 0; i < 10; ++i) {
        start = Now();
        gutter.senders = !gutter.senders;
        h.view.ForgetRows();
        volatile int32_t range = h.view.GutterCells();
        (void)range;
        RowPass(h, int(h.store->lineCount) - 49);
        h.toggle.push_back(Now() - start );
      }
      h.view.gutter = nullptr;
      if (h.size <= (64u << 20) || round < 3) {
        static const char kAbsent[] = "no such text is anywhere";
        SearchRequest request;
        request.pattern = reinterpret_cast<const uint8_t*>(kAbsent);
        request.patternLength = uint32_t(std::strlen(kAbsent));
        start = Now();
        const SearchHit hit = h.utf8 ? FindInUtf8(h.store->Pieces(0, h.store->used), code_page::UnicodeFolding::Ascii(), request)
                                     : FindInText(h.store->Pieces(0, h.store->used), h.store->codePage,
                                                  CaseFolding::Ascii(), request);
        h.find.push_back(Now() - start);
        if (hit.found) std::printf("unexpected match in %s\n", h.name);
      }
    }
  }
  std::printf("%-7s %10s %9s %12s %11s %11s %11s %11s %11s %10s %9s\n", "store", "messages", "fill s", "append ns",
              "paint end", "paint mid", "paint named", "switch", "find ms", "erase ms", "B/message");
  for (History& h : histories) {
    if (!h.store) continue;
    const size_t stored = h.store->MessageCount();
    const double start = Now();
    h.store->Clear();
    const double erase = Now() - start;
    std::printf("%-7s %10zu %9.2f %12.1f %8.1f us %8.1f us %8.1f us %8.1f us %11.1f %10.3f %9.1f\n", h.name, stored,
                h.fillSeconds, Median(h.append) * 1e9, Median(h.paintEnd) * 1e6, Median(h.paintMiddle) * 1e6,
                Median(h.paintNamed) * 1e6, Median(h.toggle) * 1e6, Median(h.find) * 1e3, erase * 1e3,
                h.memoryPerMessage);
  }
  const History& bytes = histories[1];
  const History& utf8 = histories[3];
  if (bytes.store && utf8.store) {
    std::printf("64 MiB UTF-8 / code page store: append %.2f, paint at the end %.2f, find %.2f\n",
                Median(utf8.append) / Median(bytes.append), Median(utf8.paintEnd) / Median(bytes.paintEnd),
                Median(utf8.find) / Median(bytes.find));
  }
  const History& small = histories[0];
  const History& large = histories[2];
  if (small.store && large.store) {
    std::printf("1 GiB / 64 KiB: append %.2f, paint at the end %.2f\n", Median(large.append) / Median(small.append),
                Median(large.paintEnd) / Median(small.paintEnd));
  }
  return 0;
}
