// The history decided again in slices: while messages keep coming and old lines go, every stored
// message ends with the mark the new rules give its stored text, and the shown lines follow.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "monitor/filters/history_filter.h"
#include "receiving/line_ends.h"
#include "receiving/message.h"
#include "tests/support/history_intake.h"
#include "tests/support/stored_text.h"

namespace {

using filtering::FilterAction;
using filtering::FilterField;
using filtering::FilterRule;

filtering::FilterSet Set(std::vector<FilterRule> rules) {
  return filtering::FilterSet(std::move(rules), LeadTrailSets::SingleByte(), CaseFolding::Ascii());
}

struct History {
  TextStore store;
  std::mt19937 random{5};
  int next = 0;
  std::vector<std::string> texts;  // by message number

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
    texts.push_back(text);
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
  for (uint64_t n = store.FirstMessageNumber(); n < store.NextMessageNumber(); ++n) {
    const StoredMessage* message = store.MessageByNumber(n);
    ASSERT_NE(message, nullptr);
    const std::string& text = history.texts[size_t(n)];
    const uint8_t expected = HistoryFilter::MarkFor(after, *message, store.programs.Name(message->program),
                                                    reinterpret_cast<const uint8_t*>(text.data()), text.size());
    // The first message may have lost its first lines: it keeps the mark it had.
    const std::string firstLine = StoredText(store, store.LineStart(0), store.LineEnd(0) - store.LineStart(0));
    if (n == store.FirstMessageNumber() && text.compare(0, firstLine.size(), firstLine) != 0) continue;
    ASSERT_EQ(message->mark, expected) << "message " << n << ": " << text;
    shown += expected == StoredMessage::kShown;
    highlighted += expected != StoredMessage::kShown && expected != StoredMessage::kHidden;
    hidden += expected == StoredMessage::kHidden;
  }
  for (uint32_t k = 0; k <= store.lineCount; ++k) {
    const StoredMessage* message = store.MessageOfLine(k);
    ASSERT_NE(message, nullptr);
    ASSERT_EQ(store.LineShown(k), message->mark != StoredMessage::kHidden) << "line " << k;
  }
  EXPECT_GT(shown, 0u);
  EXPECT_GT(highlighted, 0u);
  EXPECT_GT(hidden, 0u);
  EXPECT_GE(store.HiddenMessageCount(), hidden);
}

// For any sequence of messages, with and without line ends, continued lines, backspaces, senders
// and stamps turned on and off: the marks a new decision over the history gives are the marks the
// same rules gave as the messages came; and without backspaces, each message's mark is the one its
// own text gets, whatever the console put around it or which line it shares.
TEST(HistoryFilter, TheHistoryDecidedAgainAgreesWithTheDecisionsAsMessagesCame) {
  const filtering::FilterSet first = Set({Rule(FilterAction::kExclude, FilterField::kText, "a*b"),
                                          Rule(FilterAction::kHighlight, FilterField::kText, "c"),
                                          Rule(FilterAction::kExclude, FilterField::kProgram, "p2*")});
  const filtering::FilterSet second = Set({Rule(FilterAction::kInclude, FilterField::kText, "b?"),
                                           Rule(FilterAction::kInclude, FilterField::kProcessId, "3"),
                                           Rule(FilterAction::kHighlight, FilterField::kText, "0*")});
  const char kAlphabet[] = {'a', 'b', 'c', '0', ':', ' ', '\r', '\n', '\b'};
  std::mt19937 random(29);
  int compared = 0, hiddenSeen = 0;
  for (int run = 0; run < 300; ++run) {
    const bool backspaces = run % 2 == 1;
    const bool smallRing = run % 3 == 0;
    Intake live, before;
    for (Intake* intake : {&live, &before}) ASSERT_TRUE(intake->store.Allocate(smallRing ? 256 : 65536, 0, smallRing ? 8 : 40));
    std::vector<std::string> sent;
    bool senders = false, stamps = false;
    for (int m = 0; m < 60; ++m) {
      if (random() % 8 == 0) senders = !senders;
      if (random() % 8 == 0) stamps = !stamps;
      std::string text;
      for (int n = int(random() % 7); n > 0; --n) {
        const char c = kAlphabet[random() % (backspaces ? 9 : 8)];
        text += c;
      }
      const uint32_t pid = uint32_t(random() % 4);
      live.Take(second, text, pid, senders, stamps);
      before.Take(first, text, pid, senders, stamps);
      sent.push_back(text);
    }
    HistoryFilter refilter;
    refilter.Start(before.store, second);
    while (!refilter.Step(before.store, [] { return true; })) {
    }
    ASSERT_EQ(before.Marks(), live.Marks()) << "run " << run;
    if (live.store.frontPosition == 0) {
      ASSERT_EQ(before.store.ShownLineCount(), live.store.ShownLineCount()) << "run " << run;
      ASSERT_EQ(before.store.HiddenMessageCount(), live.store.HiddenMessageCount()) << "run " << run;
    }
    if (backspaces || smallRing) continue;
    // Each message judged by its own text, as sent after the line-end rule.
    for (uint64_t n = 0; n < sent.size(); ++n) {
      std::vector<uint8_t> text(2 * sent[n].size() + 1);
      text.resize(line_ends::Convert(reinterpret_cast<const uint8_t*>(sent[n].data()), sent[n].size(), text.data(), text.size()));
      const StoredMessage& message = *live.store.MessageByNumber(n);
      const uint8_t own = HistoryFilter::MarkFor(second, message, live.store.programs.Name(message.program), text.data(), text.size());
      ASSERT_EQ(int(message.mark), int(own)) << "run " << run << ", message " << n << ": " << sent[n];
      hiddenSeen += own == StoredMessage::kHidden;
      ++compared;
    }
  }
  EXPECT_GT(compared, 1000);
  EXPECT_GT(hiddenSeen, 100);
}

}  // namespace
