// Fuzzes the filters over the history: the input is a stream of messages (texts with line ends,
// backspaces and double-byte characters, senders, View > Senders and Time stamps turned on and
// off) taken into two stores, one under each of two rule sets; at the end the second store is
// decided again with the first's rules, and every message stored whole must carry the mark the
// first store gave it as it came, with the shown lines following.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/support/history_intake.h"

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

filtering::FilterRule Rule(filtering::FilterAction action, filtering::FilterField field, const char* pattern) {
  filtering::FilterRule rule;
  rule.action = action;
  rule.field = field;
  rule.pattern = pattern;
  return rule;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using filtering::FilterAction;
  using filtering::FilterField;
  static const filtering::FilterSet kNew(
      {Rule(FilterAction::kInclude, FilterField::kText, "a?b"), Rule(FilterAction::kInclude, FilterField::kProcessId, "2"),
       Rule(FilterAction::kExclude, FilterField::kText, "*\x93\xFA"), Rule(FilterAction::kHighlight, FilterField::kText, "c")},
      LeadTrailSets::ShiftJis(), CaseFolding::Ascii());
  static const filtering::FilterSet kOld({Rule(FilterAction::kExclude, FilterField::kProgram, "p1*"),
                                          Rule(FilterAction::kHighlight, FilterField::kText, "1*")},
                                         LeadTrailSets::ShiftJis(), CaseFolding::Ascii());
  static const LeadTrailSets shiftJis = LeadTrailSets::ShiftJis();
  static const char kBytes[] = {'a', 'b', 'c', '1', ' ', '\r', '\n', '\b', '\x93', '\xFA', '\t', ':'};
  if (size < 2) return 0;
  Intake live, before;
  const uint32_t capacity = 64 + uint32_t(data[0]) * 16;
  const uint32_t wrap = 4 + data[1] % 40;
  for (Intake* intake : {&live, &before}) {
    intake->store.codePage = &shiftJis;
    if (!intake->store.Allocate(capacity, 0, wrap)) return 0;
  }
  bool senders = false, stamps = false;
  size_t i = 2;
  while (i < size) {
    const uint8_t head = data[i++];
    if (head & 0x80) senders = !senders;
    if (head & 0x40) stamps = !stamps;
    const uint32_t pid = (head >> 4) & 3;
    std::string text;
    for (size_t n = head & 15; n > 0 && i < size; --n) text += kBytes[data[i++] % sizeof kBytes];
    live.Take(kNew, text, pid, senders, stamps);
    before.Take(kOld, text, pid, senders, stamps);
  }
  HistoryFilter refilter;
  refilter.Start(before.store, kNew);
  while (!refilter.Step(before.store, [] { return true; })) {
  }
  Require(before.Marks() == live.Marks());
  if (live.store.frontPosition == 0) {
    Require(before.store.ShownLineCount() == live.store.ShownLineCount());
    Require(before.store.HiddenMessageCount() == live.store.HiddenMessageCount());
  }
  return 0;
}
