// What the filter dialogs show of a rule: the names of its action and field and its colours, in
// the language in force.
#pragma once

#include <string>

#include "filtering/filter_rule.h"

// The actions and fields in the order of the rule dialog's lists, which is their numbering:
// entry i of a list is the enumerator of value i.
inline constexpr int kFilterActionCount = 3;
inline constexpr int kFilterFieldCount = 3;

std::string ActionText(filtering::FilterAction action);
std::string FieldText(filtering::FilterField field);

// "#RRGGBB / #RRGGBB", the text's and the background's, for a highlight rule; empty for the
// others, whose colours do nothing. The same in every language: the column's heading says which is which.
std::string ColoursText(const filtering::FilterRule& rule);
