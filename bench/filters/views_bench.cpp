// Views benchmark: eight views of fifteen rules each over a full 64 MiB history of a million
// messages: a new message stored and decided for every view, against one view; a switch to
// another view with the first paint after it; and one view decided again after its rules
// changed, as the monitor does. Portable: natively (scripts/bench builds it optimised) and under
// Wine. Rounds alternate; prints figures, never fails on time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/filters/filter_bench_history.h"
#include "console/text_view.h"
#include "monitor/filters/history_filter.h"
#include "monitor/filters/view_set.h"

namespace {

using filtering::FilterAction;
using filtering::FilterField;
using filtering::FilterRule;
using filter_bench::Median;
using filter_bench::Now;
using filter_bench::Rule;

// Fifteen rules, turned by the view's number so that no two views decide alike.
MonitorView FifteenRules(int view) {
  const FilterRule kRules[] = {
      Rule(FilterAction::kInclude, FilterField::kText, "message*"),
      Rule(FilterAction::kInclude, FilterField::kProgram, "no-such-program*"),
      Rule(FilterAction::kExclude, FilterField::kText, "*error*fatal*"),
      Rule(FilterAction::kExclude, FilterField::kText, "DROP?ME"),
      Rule(FilterAction::kExclude, FilterField::kProgram, "*.com"),
      Rule(FilterAction::kExclude, FilterField::kProcessId, "999999?"),
      Rule(FilterAction::kHighlight, FilterField::kText, "*7 from"),
      Rule(FilterAction::kHighlight, FilterField::kText, "*warn*"),
      Rule(FilterAction::kHighlight, FilterField::kProgram, "client*"),
      Rule(FilterAction::kHighlight, FilterField::kText, "*X?Y*Z"),
      Rule(FilterAction::kExclude, FilterField::kText, "*5?? from*"),
      Rule(FilterAction::kHighlight, FilterField::kText, "*9 from*"),
      Rule(FilterAction::kInclude, FilterField::kProcessId, "42*"),
      Rule(FilterAction::kExclude, FilterField::kProgram, "NOISY*"),
      Rule(FilterAction::kHighlight, FilterField::kText, "message 1*"),
  };
  MonitorView made;
  for (int i = 0; i < 15; ++i) made.rules.push_back(kRules[(i + view) % 15]);
  made.active = filtering::FilterSet(made.rules, LeadTrailSets::SingleByte(), CaseFolding::Ascii());
  return made;
}

class NoPainter : public RowPainter {
 public:
  int DrawRun(int, int, const Cell*, int count, int) override { return count * 8; }
  void FillEmpty(int, int, int, int) override {}
};

}  // namespace

int main() {
  constexpr int kMessages = 1000000;
  TextStore store;
  if (!filter_bench::AllocateFullStore(store)) return 1;
  const std::vector<std::string> texts = filter_bench::SixtyByteTexts();
  const StoredMessage record = filter_bench::ClientRecord(store);
  const std::string program = "client.exe";

  ViewSet views;
  std::vector<MonitorView> made(1);
  for (int view = 1; view < 8; ++view) made.push_back(FifteenRules(view));
  views.Reset(std::move(made), 0);
  std::vector<uint8_t> scratch;
  // Stores one message as the monitor does: decided for the shown view, then for the others.
  const auto store1 = [&](int i, bool allViews) {
    const std::string& text = texts[size_t(i) % texts.size()];
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const uint64_t number = store.NextMessageNumber();
    HistoryFilter::Store(store, views.Current().active, record, bytes, text.size(), scratch,
                         [&] { store.Append(bytes, uint32_t(text.size())); });
    if (allViews) {
      views.MarkOthers(number, [&](const filtering::FilterSet& filters) {
        return HistoryFilter::MarkFor(filters, record, program, bytes, text.size());
      });
    }
  };
  for (int i = 0; i < kMessages; ++i) store1(i, true);
  views.Forget(store.FirstMessageNumber());
  std::printf("history: %zu messages, %u lines, %.1f MB of text; 8 views, 7 of them with 15 rules\n",
              store.MessageCount(), store.lineCount, store.used / 1e6);
  size_t kept = 0;
  for (size_t v = 0; v < views.size(); ++v) kept += views[v].marks.size();
  std::printf("marks kept for the views not shown: %.2f bytes per message per view\n",
              double(kept) / double(store.MessageCount()) / double(views.size() - 1));

  TextView view;
  ConsoleSettings settings;
  int window = 0;
  view.Attach(&window, store, settings);
  RowPassFrame frame;
  frame.right = 1200;
  frame.bottom = 800;
  frame.charWidth = 8;
  frame.lineHeight = 16;
  NoPainter painter;

  std::vector<double> ingestOne, ingestEight, switches, paints, refilters;
  for (int round = 0; round < 5; ++round) {
    // Alternating: 100,000 messages into one view, and into eight.
    for (const bool allViews : {round % 2 == 0, round % 2 != 0}) {
      const double start = Now();
      for (int i = 0; i < 100000; ++i) store1(i, allViews);
      views.Forget(store.FirstMessageNumber());
      (allViews ? ingestEight : ingestOne).push_back((Now() - start) / 100000);
    }
    // A switch to the next view, the end of the history shown, and the first paint.
    const double start = Now();
    views.Show((views.current() + 1) % views.size(), store);
    view.ForgetRows();
    frame.vPos = int(store.LastShownIndex() > 50 ? store.LastShownIndex() - 50 : 0);
    const double shown = Now();
    view.Paint(frame, painter);
    const double painted = Now();
    switches.push_back(shown - start);
    paints.push_back(painted - shown);
    std::printf("  round %d: switch to view %zu %.1f ms, first paint %.2f ms, %llu hidden\n", round + 1,
                views.current() + 1, (shown - start) * 1e3, (painted - shown) * 1e3,
                (unsigned long long)store.HiddenMessageCount());

    // The shown view's rules changed: its history decided again, in the monitor's slices.
    MonitorView& current = views.Current();
    current.rules.push_back(Rule(FilterAction::kExclude, FilterField::kText, round % 2 ? "*3 from*" : "*4 from*"));
    current.active = filtering::FilterSet(current.rules, LeadTrailSets::SingleByte(), CaseFolding::Ascii());
    current.rules.pop_back();
    HistoryFilter history;
    const double refilterStart = Now();
    history.Start(store, current.active);
    double sliceStart = Now();
    while (!history.Step(store, [&] { return Now() - sliceStart >= 0.025; })) sliceStart = Now();
    refilters.push_back(Now() - refilterStart);
  }
  std::printf("median: a message stored and decided, 1 view %.0f ns, 8 views %.0f ns (ratio %.2f)\n",
              Median(ingestOne) * 1e9, Median(ingestEight) * 1e9,
              Median(ingestOne) > 0 ? Median(ingestEight) / Median(ingestOne) : 0.0);
  std::printf("median: switch %.1f ms, first paint after it %.2f ms; one view of 16 rules decided again %.3f s\n",
              Median(switches) * 1e3, Median(paints) * 1e3, Median(refilters));
  view.Release();
  return 0;
}
