// FilterSet: the ordered filter rules, prepared once, and what they decide for one message.
// Portable: no Windows header; the code page comes in as data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "code_page/case_folding.h"
#include "code_page/lead_trail_sets.h"
#include "filtering/filter_rule.h"
#include "filtering/wildcard_pattern.h"

namespace filtering {

// What a filter looks at in one message. The bytes are borrowed for the call.
struct FilterSubject {
  const uint8_t* text = nullptr;  // the message text, ANSI code page
  std::size_t length = 0;
  std::string_view program;       // the sender's program name; empty when it could not be read
  // The sender's process; 0 when the message has no known sender. Program and process id rules
  // never match a message without a sender: an include rule of either leaves it out, an exclude
  // rule of either lets it through.
  uint32_t processId = 0;
  // A notice (the channel's banner and overflow notice, a loss, the receiver's own lines): always
  // shown and never highlighted, whatever the rules say.
  bool notice = false;
};

struct FilterDecision {
  bool shown = true;
  int highlight = -1;  // index into rules() of the highlight rule that colours it, or -1
};

class FilterSet {
 public:
  FilterSet() = default;  // no rules: every message shown, none highlighted
  // Disabled rules are kept (rules() gives them back) but take no part in a decision.
  FilterSet(std::vector<FilterRule> rules, const LeadTrailSets& codePage, const CaseFolding& folding);
  // Rules whose patterns, like the texts they judge, are UTF-8, folded by `folding` (which must
  // outlive the set).
  FilterSet(std::vector<FilterRule> rules, const code_page::UnicodeFolding& folding);

  // A message is shown when no enabled include rule exists or one matches it, and no enabled
  // exclude rule matches it. A shown message takes the colours of the first enabled highlight
  // rule that matches it.
  FilterDecision Decide(const FilterSubject& subject) const;

  const std::vector<FilterRule>& rules() const { return rules_; }
  // Whether some rule is enabled: without one every decision is {shown, -1}.
  bool Active() const { return !includes_.empty() || !excludes_.empty() || !highlights_.empty(); }

 private:
  struct Prepared {
    int index;  // into rules_
    FilterField field;
    WildcardPattern pattern;
  };
  class Fields;
  template <typename MakePattern>
  void Prepare(const MakePattern& make);

  static bool AnyMatches(const std::vector<Prepared>& prepared, Fields& fields, int* index = nullptr);

  std::vector<FilterRule> rules_;
  std::vector<Prepared> includes_;
  std::vector<Prepared> excludes_;
  std::vector<Prepared> highlights_;
};

}  // namespace filtering
