// The NumberEdit text rule: a sign and leading digits of an edit box, checked against a range.
// Portable: no Windows header.
#pragma once

#include <cstdint>

// The number that the text starts with: an optional '-', then decimal digits up to the first
// other character. No digits reads as 0. fits is false when the digits overflow 32 bits.
struct ParsedNumber {
  int32_t value = 0;
  bool fits = true;
};
ParsedNumber ParseNumberText(const char* text);

// The value a NumberEdit keeps after reading text: the parsed number when it fits and lies in
// minimum..maximum (inclusive), otherwise previous.
int32_t AcceptNumberText(const char* text, int32_t previous, int32_t minimum, int32_t maximum);
