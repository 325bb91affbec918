// The saved form of one filter rule, a single line of text:
//   action;field;enabled;case;text colour;back colour;pattern
// action include|exclude|highlight, field text|program|pid, enabled and case (1: match case)
// 1|0, the colours decimal COLORREF values (0 to 16777215), and the pattern all that follows the
// sixth `;` (it may hold `;` itself). Portable: no Windows header.
#pragma once

#include <string>
#include <string_view>

#include "filtering/filter_rule.h"

namespace filtering {

std::string FormatRule(const FilterRule& rule);

// Reads the saved form exactly as FormatRule writes it: the first six fields admit no blank,
// sign or other spelling (leading zeros of a colour aside), and a rule with an empty pattern, or
// one holding a CR, LF or NUL (which a settings line cannot keep), is refused. False leaves
// `rule` as it was.
bool ParseRule(std::string_view text, FilterRule& rule);

}  // namespace filtering
