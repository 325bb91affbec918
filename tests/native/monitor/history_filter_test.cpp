// The history decided again in slices: while messages keep coming and old lines go, every stored
// message ends with the mark the new rules give its stored text, and the shown lines follow.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "monitor/filters/history_filter.h"
#include "receiving/message.h"

namespace {

using filtering::FilterAction;
using filtering::FilterField;
using filtering::FilterRule;

FilterRule Rule(FilterAction action, FilterField field, const std::string& pattern) {
  FilterRule rule;
  rule.action = action;
  rule.field = field;
  rule.pattern = pattern;
  return rule;
}

filtering::FilterSet Set(std::vector<FilterRule> rules) {
  return filtering::FilterSet(std::move(rules), LeadTrailSets::SingleByte(), CaseFolding::Ascii());
}

struct History {
  TextStore store;
  std::mt19937 random{5};
  int next = 0;

  // A message as the monitor stores one: its record marked by the rules in force, then its text.
  void Add(const filtering::FilterSet& rules) {
    static const char* const kWords[] = {"alpha", "beta", "gamma", "error", "warn"};
    static const char* const kPrograms[] = {"app.exe", "tool.exe", ""};
    std::uniform_int_distribution<int> pick(0, 4), lines(1, 3), program(0, 2);
    StoredMessage message;
    message.pid = uint32_t(100 + program(random));
    const std::string name = kPrograms[message.pid - 100];
    message.program = store.programs.Intern(name);
    message.kind = uint32_t(pick(random) == 0 ? MessageKind::kNotice : MessageKind::kText);
    std::string text;
    for (int n = lines(random); n > 0; --n) text += std::to_string(next) + " " + kWords[pick(random)] + "\r\n";
    ++next;
    message.mark = HistoryFilter::MarkFor(rules, message, name, reinterpret_cast<const uint8_t*>(text.data()),
                                          text.size());
    store.BeginMessage(message);
    store.Append(reinterpret_cast<const uint8_t*>(text.data()), uint32_t(text.size()));
  }
};

TEST(HistoryFilter, EveryStoredMessageEndsWithTheMarkOfTheNewRules) {
  const filtering::FilterSet before = Set({Rule(FilterAction::kExclude, FilterField::kText, "beta")});
  const filtering::FilterSet after =
      Set({Rule(FilterAction::kInclude, FilterField::kText, "*a"), Rule(FilterAction::kExclude, FilterField::kProgram, "tool*"),
           Rule(FilterAction::kHighlight, FilterField::kText, "err?r"), Rule(FilterAction::kHighlight, FilterField::kProcessId, "100")});
  History history;
  ASSERT_TRUE(history.store.Allocate(20000, 0, 80));
  for (int i = 0; i < 1500; ++i) history.Add(before);
  ASSERT_GT(history.store.frontPosition, 0u) << "old lines went before the rules changed";

  HistoryFilter refilter;
  refilter.Start(history.store, after);
  int slices = 0;
  // Every slice stops at its first chance; messages come and old lines go between slices.
  while (!refilter.Step(history.store, [] { return true; })) {
    ++slices;
    for (int i = 0; i < 3; ++i) history.Add(after);
  }
  EXPECT_GT(slices, 5);
  EXPECT_FALSE(refilter.Running());

  TextStore& store = history.store;
  uint32_t shown = 0, highlighted = 0, hidden = 0;
  for (uint32_t k = 0; k <= store.lineCount; ++k) {
    const StoredMessage* message = store.MessageOfLine(k);
    ASSERT_NE(message, nullptr);
    // The message's text: its lines, as stored.
    const uint64_t number = store.MessageNumberOfLine(k);
    uint32_t last = k;
    while (last < store.lineCount && store.MessageNumberOfLine(last + 1) == number) ++last;
    std::string text(store.LineEnd(last) - store.LineStart(k), '\0');
    store.CopyOut(store.LineStart(k), uint32_t(text.size()), reinterpret_cast<uint8_t*>(&text[0]));
    const uint8_t expected = HistoryFilter::MarkFor(after, *message, store.programs.Name(message->program),
                                                    reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (store.CurrentLineLength() == 0 && last == store.lineCount && k == last) break;  // the empty current line
    ASSERT_EQ(message->mark, expected) << "line " << k << ": " << text;
    for (uint32_t line = k; line <= last; ++line) ASSERT_EQ(store.LineShown(line), expected != StoredMessage::kHidden);
    shown += expected == StoredMessage::kShown;
    highlighted += expected != StoredMessage::kShown && expected != StoredMessage::kHidden;
    hidden += expected == StoredMessage::kHidden;
    k = last;
  }
  EXPECT_GT(shown, 0u);
  EXPECT_GT(highlighted, 0u);
  EXPECT_GT(hidden, 0u);
  EXPECT_EQ(store.HiddenMessageCount(), hidden);
}

}  // namespace
