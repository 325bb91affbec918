// The saved form of a rule: what each rule is written as and read back to, every malformed line
// refused, and the rules of a settings section with the numbers of those that could not be read.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "filtering/rule_settings.h"
#include "filtering/rule_text.h"

namespace {

using filtering::FilterAction;
using filtering::FilterField;
using filtering::FilterRule;

FilterRule Make(FilterAction action, FilterField field, bool enabled, bool matchCase, uint32_t text, uint32_t back,
                const std::string& pattern) {
  FilterRule rule;
  rule.action = action;
  rule.field = field;
  rule.enabled = enabled;
  rule.matchCase = matchCase;
  rule.textColour = text;
  rule.backColour = back;
  rule.pattern = pattern;
  return rule;
}

TEST(RuleText, RoundTripsAndRefusals) {
  const struct {
    FilterRule rule;
    std::string text;
  } written[] = {
      {Make(FilterAction::kInclude, FilterField::kText, true, false, 0, 65535, "keep*"),
       "include;text;1;0;0;65535;keep*"},
      {Make(FilterAction::kExclude, FilterField::kProgram, false, true, 1, 2, "a;b;;"),
       "exclude;program;0;1;1;2;a;b;;"},
      {Make(FilterAction::kHighlight, FilterField::kProcessId, true, true, 16777215, 255, "12?"),
       "highlight;pid;1;1;16777215;255;12?"},
      {Make(FilterAction::kInclude, FilterField::kText, true, false, 0, 0, " spaced "),
       "include;text;1;0;0;0; spaced "},
      {Make(FilterAction::kInclude, FilterField::kText, true, false, 0, 0, "\x95\x5C;\x83\x41"),
       "include;text;1;0;0;0;\x95\x5C;\x83\x41"},
  };
  for (const auto& c : written) {
    EXPECT_EQ(filtering::FormatRule(c.rule), c.text);
    FilterRule read;
    ASSERT_TRUE(filtering::ParseRule(c.text, read)) << c.text;
    EXPECT_TRUE(read == c.rule) << c.text;
  }
  FilterRule leadingZeros;
  ASSERT_TRUE(filtering::ParseRule("include;text;1;0;007;0016777215;x", leadingZeros));
  EXPECT_EQ(leadingZeros.textColour, 7u);
  EXPECT_EQ(leadingZeros.backColour, 16777215u);

  const std::string refused[] = {
      "", "include", "include;text;1;0;0;0", "include;text;1;0;0;0;", "Include;text;1;0;0;0;x",
      "include ;text;1;0;0;0;x", "show;text;1;0;0;0;x", "include;Text;1;0;0;0;x", "include;name;1;0;0;0;x",
      "include;text;2;0;0;0;x", "include;text;;0;0;0;x", "include;text;1;yes;0;0;x", "include;text;1;0;-1;0;x",
      "include;text;1;0;+1;0;x", "include;text;1;0; 1;0;x", "include;text;1;0;1 ;0;x", "include;text;1;0;0x10;0;x",
      "include;text;1;0;16777216;0;x", "include;text;1;0;0;99999999999999999999;x", "include;text;1;0;0;;x",
      "include;text;1;0;0;1.5;x", "include;text;1;0;0;0;line\nend", "include;text;1;0;0;0;cr\r",
      std::string("include;text;1;0;0;0;nul") + '\0' + "inside",
  };
  for (const std::string& text : refused) {
    FilterRule kept = Make(FilterAction::kHighlight, FilterField::kProgram, false, true, 5, 6, "kept");
    EXPECT_FALSE(filtering::ParseRule(text, kept)) << text;
    EXPECT_EQ(kept.pattern, "kept") << text;
  }
}

filtering::SavedRules Read(const std::map<std::string, std::string>& section) {
  return filtering::ReadSavedRules([&](const std::string& key, std::string& value) {
    const auto found = section.find(key);
    if (found == section.end()) return false;
    value = found->second;
    return true;
  });
}

TEST(RuleText, SettingsSectionWithUnreadableRules) {
  const std::string good = "include;text;1;0;0;0;a";
  const struct {
    const char* name;
    std::map<std::string, std::string> section;
    std::vector<std::string> patterns;
    std::vector<uint32_t> unreadable;
  } cases[] = {
      {"no section", {}, {}, {}},
      {"two rules", {{"count", "2"}, {"rule 1", good}, {"rule 2", "exclude;text;1;0;0;0;b"}}, {"a", "b"}, {}},
      {"a missing and a malformed rule",
       {{"count", "3"}, {"rule 2", "exclude;text;9;0;0;0;b"}, {"rule 3", good}}, {"a"}, {1, 2}},
      {"rules beyond the count stay unread", {{"count", "1"}, {"rule 1", good}, {"rule 2", good}}, {"a"}, {}},
      {"a count that is no number", {{"count", "two"}, {"rule 1", good}}, {}, {}},
  };
  for (const auto& c : cases) {
    const filtering::SavedRules saved = Read(c.section);
    std::vector<std::string> patterns;
    for (const FilterRule& rule : saved.rules) patterns.push_back(rule.pattern);
    EXPECT_EQ(patterns, c.patterns) << c.name;
    EXPECT_EQ(saved.unreadable, c.unreadable) << c.name;
  }
  // A count past the largest reads as the largest: that many rules are looked for, no more.
  const filtering::SavedRules huge = Read({{"count", "99999999999"}});
  ASSERT_EQ(huge.unreadable.size(), filtering::kMaxRules);
  EXPECT_EQ(huge.unreadable.back(), filtering::kMaxRules);

  const std::vector<FilterRule> rules = {Make(FilterAction::kInclude, FilterField::kText, true, false, 0, 0, "a"),
                                         Make(FilterAction::kExclude, FilterField::kProcessId, true, false, 0, 0, "7")};
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"count", "2"}, {"rule 1", "include;text;1;0;0;0;a"}, {"rule 2", "exclude;pid;1;0;0;0;7"}};
  EXPECT_EQ(filtering::SavedRuleValues(rules), expected);
}

}  // namespace
