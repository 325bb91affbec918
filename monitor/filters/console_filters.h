// The filters in force over a console: its text is UTF-8, the rules are kept (and saved) in the
// ANSI code page, and case is folded as the system folds it.
#pragma once

#include <vector>

#include "filtering/filter_rule.h"
#include "filtering/filter_set.h"

// The set of the rules for a console's UTF-8 text: each pattern made UTF-8.
filtering::FilterSet ConsoleFilterSet(std::vector<filtering::FilterRule> rules);
