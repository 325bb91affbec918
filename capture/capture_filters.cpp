// tellitcap's filter options as rules.
#include "capture/capture_filters.h"

#include <string>

namespace capture {

namespace {

void AddRules(std::vector<filtering::FilterRule>& rules, const std::vector<std::string>& patterns,
              filtering::FilterAction action, filtering::FilterField field) {
  for (const std::string& pattern : patterns) {
    filtering::FilterRule rule;
    rule.action = action;
    rule.field = field;
    rule.pattern = pattern;
    rule.matchCase = false;  // a capture filter is typed in a hurry; program names ignore case anyway
    rules.push_back(rule);
  }
}

}  // namespace

std::vector<filtering::FilterRule> CaptureFilterRules(const CaptureOptions& options) {
  std::vector<filtering::FilterRule> rules;
  AddRules(rules, options.includes, filtering::FilterAction::kInclude, filtering::FilterField::kText);
  AddRules(rules, options.programs, filtering::FilterAction::kInclude, filtering::FilterField::kProgram);
  AddRules(rules, options.excludes, filtering::FilterAction::kExclude, filtering::FilterField::kText);
  return rules;
}

std::vector<filtering::FilterRule> CaptureUntilRules(const CaptureOptions& options) {
  std::vector<filtering::FilterRule> rules;
  if (!options.until.empty()) {
    AddRules(rules, {options.until}, filtering::FilterAction::kInclude, filtering::FilterField::kText);
  }
  return rules;
}

}  // namespace capture
