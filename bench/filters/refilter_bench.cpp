// Re-filter benchmark: a console history of 1,000,000 messages of 60 bytes, decided again by ten
// filter rules as the monitor does after a change (25 ms slices, then all marked at once), and the
// cost of deciding one new message with and without the rules. Portable: natively (scripts/bench
// builds it optimised) and under Wine. Rounds alternate; prints figures, never fails on time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/filters/filter_bench_history.h"
#include "monitor/filters/history_filter.h"

namespace {

using filtering::FilterAction;
using filtering::FilterField;
using filtering::FilterRule;
using filter_bench::Median;
using filter_bench::Now;
using filter_bench::Rule;

}  // namespace

int main() {
  const std::vector<FilterRule> rules = {
      Rule(FilterAction::kInclude, FilterField::kText, "message*"),
      Rule(FilterAction::kInclude, FilterField::kProgram, "no-such-program*"),
      Rule(FilterAction::kExclude, FilterField::kText, "*error*fatal*"),
      Rule(FilterAction::kExclude, FilterField::kText, "DROP?ME", true),
      Rule(FilterAction::kExclude, FilterField::kProgram, "*.com"),
      Rule(FilterAction::kExclude, FilterField::kProcessId, "999999?"),
      Rule(FilterAction::kHighlight, FilterField::kText, "*7 from"),
      Rule(FilterAction::kHighlight, FilterField::kText, "*warn*"),
      Rule(FilterAction::kHighlight, FilterField::kProgram, "client*"),
      Rule(FilterAction::kHighlight, FilterField::kText, "*X?Y*Z", true),
  };
  const filtering::FilterSet ten(rules, LeadTrailSets::SingleByte(), CaseFolding::Ascii());
  const filtering::FilterSet none;

  constexpr int kMessages = 1000000;
  TextStore store;
  if (!filter_bench::AllocateFullStore(store)) return 1;
  const std::vector<std::string> texts = filter_bench::SixtyByteTexts();
  const StoredMessage record = filter_bench::ClientRecord(store);
  for (int i = 0; i < kMessages; ++i) {
    store.BeginMessage(record);
    store.Append(reinterpret_cast<const uint8_t*>(texts[size_t(i) % texts.size()].data()), uint32_t(texts[0].size()));
  }
  std::printf("history: %zu messages, %u lines, %.1f MB of text\n", store.MessageCount(), store.lineCount,
              store.used / 1e6);

  std::vector<double> refilter, slices, decideTen, decideNone;
  for (int round = 0; round < 5; ++round) {
    HistoryFilter history;
    const double start = Now();
    history.Start(store, round % 2 ? ten : none);  // alternating: the rules on, and all off again
    int count = 0;
    double sliceStart = Now();
    while (!history.Step(store, [&] { return Now() - sliceStart >= 0.025; })) {
      ++count;
      sliceStart = Now();
    }
    (round % 2 ? refilter : slices).push_back(Now() - start);
    if (round % 2) std::printf("  round %d: 10 rules over the history %.3f s in %d slices, %llu hidden\n", round + 1,
                               Now() - start, count + 1, (unsigned long long)store.HiddenMessageCount());

    for (const filtering::FilterSet* set : {&ten, &none}) {
      const double decideStart = Now();
      unsigned marks = 0;
      for (int i = 0; i < 200000; ++i) {
        const std::string& text = texts[size_t(i) % texts.size()];
        marks += HistoryFilter::MarkFor(*set, record, "client.exe", reinterpret_cast<const uint8_t*>(text.data()), text.size());
      }
      (set == &ten ? decideTen : decideNone).push_back((Now() - decideStart) / 200000);
      if (marks == 0xFFFFFFFFu) std::printf("-");  // keeps the loop
    }
  }
  std::printf("median: 10 rules over 1,000,000 messages %.3f s; no rules %.3f s\n", Median(refilter), Median(slices));
  std::printf("one new message decided: 10 rules %.0f ns, none %.0f ns\n", Median(decideTen) * 1e9,
              Median(decideNone) * 1e9);
  return 0;
}
