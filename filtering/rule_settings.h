// The filter rules as the settings file keeps them: section "filters", key "count" and one key
// "rule N" (N from 1) per rule in its saved form. Portable: the file is read and written by the
// caller, through a lookup and a list of keys and values.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "filtering/filter_rule.h"

namespace filtering {

inline constexpr char kFiltersSection[] = "filters";
inline constexpr char kRuleCountKey[] = "count";
// More rules than any filter list needs; a larger count in the file reads as this many.
inline constexpr uint32_t kMaxRules = 100;

std::string RuleKey(uint32_t number);  // "rule 7"

struct SavedRules {
  std::vector<FilterRule> rules;    // the readable ones, in their order
  std::vector<uint32_t> unreadable; // numbers of the rules missing or malformed, to tell the user
};

// `lookup(key, value)` gives a key's value of the section, false when the key is missing. A
// count that is missing or no decimal number reads as 0: no rules.
SavedRules ReadSavedRules(const std::function<bool(const std::string& key, std::string& value)>& lookup);

// The keys and values of the section for these rules, the count first. The section is best
// written whole, so that no rule beyond the new count stays behind.
std::vector<std::pair<std::string, std::string>> SavedRuleValues(const std::vector<FilterRule>& rules);

}  // namespace filtering
