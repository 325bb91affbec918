// Reading and writing the filter rules of the settings file's section.
#include "filtering/rule_settings.h"

#include "filtering/rule_text.h"

namespace filtering {

namespace {

uint32_t ReadCount(const std::string& text) {
  if (text.empty()) return 0;
  uint32_t count = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    count = count * 10 + static_cast<uint32_t>(c - '0');
    if (count > kMaxRules) count = kMaxRules + 1;  // clamped below, never overflowing
  }
  return count > kMaxRules ? kMaxRules : count;
}

}  // namespace

std::string RuleKey(uint32_t number) { return "rule " + std::to_string(number); }

SavedRules ReadSavedRules(const std::function<bool(const std::string& key, std::string& value)>& lookup) {
  SavedRules saved;
  std::string value;
  const uint32_t count = lookup(kRuleCountKey, value) ? ReadCount(value) : 0;
  for (uint32_t number = 1; number <= count; ++number) {
    FilterRule rule;
    if (lookup(RuleKey(number), value) && ParseRule(value, rule)) {
      saved.rules.push_back(std::move(rule));
    } else {
      saved.unreadable.push_back(number);
    }
  }
  return saved;
}

std::vector<std::pair<std::string, std::string>> SavedRuleValues(const std::vector<FilterRule>& rules) {
  std::vector<std::pair<std::string, std::string>> values;
  values.emplace_back(kRuleCountKey, std::to_string(rules.size()));
  for (std::size_t i = 0; i < rules.size(); ++i) {
    values.emplace_back(RuleKey(static_cast<uint32_t>(i + 1)), FormatRule(rules[i]));
  }
  return values;
}

}  // namespace filtering
