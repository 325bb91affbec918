// SavablePattern: which patterns the filter rule dialog accepts. Portable: no Windows header.
#pragma once

#include <string_view>

// The longest pattern the rule dialog takes, in bytes of the ANSI code page.
inline constexpr int kFilterPatternLimit = 255;

// True when the settings file gives the pattern back as it was written. False for an empty
// pattern, one holding CR, LF or NUL (a settings line cannot keep them, and ParseRule refuses
// them), and one ending in a blank (space, tab, vertical tab, form feed): GetPrivateProfileString
// trims the blanks at the end of a value, so the rule would come back with another pattern.
bool SavablePattern(std::string_view pattern);
