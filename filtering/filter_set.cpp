// FilterSet: preparing the enabled rules by action, and the decision for one message.
#include "filtering/filter_set.h"

#include <utility>

namespace filtering {

// The fields of one subject as the rules read them; the process id's digits made only when a
// rule asks for them.
class FilterSet::Fields {
 public:
  explicit Fields(const FilterSubject& subject) : subject_(subject) {}

  bool Matches(const Prepared& rule) {
    switch (rule.field) {
      case FilterField::kText:
        return rule.pattern.Matches(subject_.text, subject_.length);
      case FilterField::kProgram:
        return subject_.processId != 0 && rule.pattern.Matches(subject_.program);
      case FilterField::kProcessId:
        return subject_.processId != 0 && rule.pattern.Matches(ProcessIdText());
    }
    return false;
  }

 private:
  std::string_view ProcessIdText() {
    if (digitCount_ == 0) {
      char reversed[10];
      for (uint32_t id = subject_.processId; id != 0 || digitCount_ == 0; id /= 10) {
        reversed[digitCount_++] = static_cast<char>('0' + id % 10);
      }
      for (std::size_t i = 0; i < digitCount_; ++i) digits_[i] = reversed[digitCount_ - 1 - i];
    }
    return std::string_view(digits_, digitCount_);
  }

  const FilterSubject& subject_;
  char digits_[10] = {};  // 4294967295 at most
  std::size_t digitCount_ = 0;
};

FilterSet::FilterSet(std::vector<FilterRule> rules, const LeadTrailSets& codePage, const CaseFolding& folding)
    : rules_(std::move(rules)) {
  Prepare([&](const FilterRule& rule) { return WildcardPattern(rule.pattern, rule.matchCase, codePage, folding); });
}

FilterSet::FilterSet(std::vector<FilterRule> rules, const code_page::UnicodeFolding& folding) : rules_(std::move(rules)) {
  Prepare([&](const FilterRule& rule) { return WildcardPattern(rule.pattern, rule.matchCase, folding); });
}

template <typename MakePattern>
void FilterSet::Prepare(const MakePattern& make) {
  for (std::size_t i = 0; i < rules_.size(); ++i) {
    const FilterRule& rule = rules_[i];
    if (!rule.enabled) continue;
    Prepared prepared{static_cast<int>(i), rule.field, make(rule)};
    switch (rule.action) {
      case FilterAction::kInclude: includes_.push_back(std::move(prepared)); break;
      case FilterAction::kExclude: excludes_.push_back(std::move(prepared)); break;
      case FilterAction::kHighlight: highlights_.push_back(std::move(prepared)); break;
    }
  }
}

bool FilterSet::AnyMatches(const std::vector<Prepared>& prepared, Fields& fields, int* index) {
  for (const Prepared& rule : prepared) {
    if (!fields.Matches(rule)) continue;
    if (index) *index = rule.index;
    return true;
  }
  return false;
}

FilterDecision FilterSet::Decide(const FilterSubject& subject) const {
  FilterDecision decision;
  if (subject.notice) return decision;
  Fields fields(subject);
  if ((!includes_.empty() && !AnyMatches(includes_, fields)) || AnyMatches(excludes_, fields)) {
    decision.shown = false;
    return decision;
  }
  AnyMatches(highlights_, fields, &decision.highlight);
  return decision;
}

}  // namespace filtering
