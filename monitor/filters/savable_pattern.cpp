// SavablePattern: the rule dialog's test of a pattern against what a settings line keeps.
#include "monitor/filters/savable_pattern.h"

bool SavablePattern(std::string_view pattern) {
  if (pattern.empty()) return false;
  if (pattern.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) return false;
  // No double-byte character of the ANSI code pages ends in one of these bytes: a trail byte is
  // at least 0x40, so the last byte alone decides.
  return std::string_view(" \t\v\f").find(pattern.back()) == std::string_view::npos;
}
