// What a rule set decides: include rules as alternatives, exclude rules over them, the first
// highlight of a shown message, disabled rules, notices; and which received messages are notices.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel/channel.h"
#include "filtering/filter_set.h"
#include "filtering/message_subject.h"

namespace {

using filtering::FilterAction;
using filtering::FilterField;
using filtering::FilterRule;

FilterRule Rule(FilterAction action, const std::string& pattern, FilterField field = FilterField::kText) {
  FilterRule rule;
  rule.action = action;
  rule.field = field;
  rule.pattern = pattern;
  return rule;
}
FilterRule Include(const std::string& pattern) { return Rule(FilterAction::kInclude, pattern); }
FilterRule Exclude(const std::string& pattern) { return Rule(FilterAction::kExclude, pattern); }
FilterRule Highlight(const std::string& pattern) { return Rule(FilterAction::kHighlight, pattern); }
FilterRule Off(FilterRule rule) {
  rule.enabled = false;
  return rule;
}

struct Sender {
  std::string program;
  uint32_t pid;
  bool notice;
};
const Sender kNobody = {"", 0, false};
const Sender kClient = {"client.exe", 42, false};
const Sender kNotice = {"", 0, true};

TEST(FilterMeaning, IncludeExcludeHighlightDisabledAndNotices) {
  const FilterRule programClient = Rule(FilterAction::kInclude, "client*", FilterField::kProgram);
  const FilterRule notClient = Rule(FilterAction::kExclude, "client*", FilterField::kProgram);
  const struct {
    const char* name;
    std::vector<FilterRule> rules;
    std::string text;
    Sender sender;
    bool shown;
    int highlight;
  } cases[] = {
      {"no rules", {}, "anything", kNobody, true, -1},
      {"an include that matches", {Include("a")}, "a", kNobody, true, -1},
      {"an include that does not", {Include("a")}, "b", kNobody, false, -1},
      {"includes are alternatives", {Include("a"), Include("b")}, "b", kNobody, true, -1},
      {"none of the includes", {Include("a"), Include("b")}, "c", kNobody, false, -1},
      {"an exclude over an include", {Include("a"), Exclude("b")}, "ab", kNobody, false, -1},
      {"an include, the exclude not matching", {Include("a"), Exclude("b")}, "a", kNobody, true, -1},
      {"an exclude alone hides what it matches", {Exclude("b")}, "b", kNobody, false, -1},
      {"an exclude alone shows the rest", {Exclude("b")}, "c", kNobody, true, -1},
      {"a disabled include leaves no include", {Off(Include("a"))}, "b", kNobody, true, -1},
      {"a disabled exclude hides nothing", {Off(Exclude("b"))}, "b", kNobody, true, -1},
      {"the first highlight wins", {Highlight("x"), Highlight("y")}, "xy", kNobody, true, 0},
      {"a later highlight", {Highlight("x"), Highlight("y")}, "y", kNobody, true, 1},
      {"no highlight matches", {Highlight("x"), Highlight("y")}, "z", kNobody, true, -1},
      {"a hidden message takes no highlight", {Exclude("x"), Highlight("x")}, "x", kNobody, false, -1},
      {"a disabled highlight is passed over", {Off(Highlight("x")), Highlight("x")}, "x", kNobody, true, 1},
      {"the index counts every rule", {Include("a"), Exclude("b"), Highlight("a")}, "a", kNobody, true, 2},
      {"a highlight needs no include", {Highlight("x"), Include("a")}, "ax", kNobody, true, 0},
      {"a notice passes the includes", {Include("a")}, "zzz", kNotice, true, -1},
      {"a notice passes the excludes, unhighlighted", {Exclude("*"), Highlight("*")}, "zzz", kNotice, true, -1},
      {"a program include beside a text include", {Include("keep"), programClient}, "other", kClient, true, -1},
      {"no sender: only the text include", {Include("keep"), programClient}, "other", kNobody, false, -1},
      {"no sender: a program exclude lets it through", {notClient}, "text", kNobody, true, -1},
      {"a program exclude", {notClient}, "text", kClient, false, -1},
  };
  for (const auto& c : cases) {
    const filtering::FilterSet filters(c.rules, LeadTrailSets::SingleByte(), CaseFolding::Ascii());
    filtering::FilterSubject subject;
    subject.text = reinterpret_cast<const uint8_t*>(c.text.data());
    subject.length = c.text.size();
    subject.program = c.sender.program;
    subject.processId = c.sender.pid;
    subject.notice = c.sender.notice;
    const filtering::FilterDecision decision = filters.Decide(subject);
    EXPECT_EQ(decision.shown, c.shown) << c.name;
    EXPECT_EQ(decision.highlight, c.highlight) << c.name;
  }
}

TEST(FilterMeaning, NoticesAndSendersOfReceivedMessages) {
  const std::string banner(channel::kOpenBanner);
  const std::string overflow(channel::kOverflowNotice);
  const struct {
    const char* name;
    MessageKind kind;
    MessageSource source;
    std::string text;
    bool hasProcessId;
    bool notice;
    uint32_t pid;  // of the subject
  } cases[] = {
      {"a message", MessageKind::kText, MessageSource::kTellit, "hello\n", true, false, 42},
      {"the banner", MessageKind::kText, MessageSource::kTellit, banner, true, true, 42},
      {"the overflow notice", MessageKind::kText, MessageSource::kTellit, overflow, true, true, 42},
      {"the banner's text with more", MessageKind::kText, MessageSource::kTellit, banner + "x", true, false, 42},
      {"the banner's text without its line end", MessageKind::kText, MessageSource::kTellit,
       banner.substr(0, banner.size() - 1), true, false, 42},
      {"the banner's text as debug output", MessageKind::kText, MessageSource::kDebugOutput, banner, true, false, 42},
      {"a loss", MessageKind::kLost, MessageSource::kTellit, "<< 3 messages ... >>\n", true, true, 42},
      {"a receiver's notice", MessageKind::kNotice, MessageSource::kDebugOutput, "<< dropped >>\n", false, true, 0},
      {"a datagram without a sender", MessageKind::kText, MessageSource::kTellit, "raw", false, false, 0},
  };
  for (const auto& c : cases) {
    Message message;
    message.kind = c.kind;
    message.source = c.source;
    message.text = reinterpret_cast<const uint8_t*>(c.text.data());
    message.length = c.text.size();
    message.hasProcessId = c.hasProcessId;
    message.processId = 42;
    message.program = "client.exe";
    const filtering::FilterSubject subject = filtering::SubjectOf(message);
    EXPECT_EQ(subject.notice, c.notice) << c.name;
    EXPECT_EQ(subject.processId, c.pid) << c.name;
    EXPECT_EQ(subject.program, c.pid != 0 ? "client.exe" : "") << c.name;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(subject.text), subject.length), c.text) << c.name;
  }
}

}  // namespace
