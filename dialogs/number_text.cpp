// The NumberEdit text rule: parsing the sign and digits, and the range check.
#include "dialogs/number_text.h"

ParsedNumber ParseNumberText(const char* text) {
  ParsedNumber result;
  if (!text) return result;
  bool negative = false;
  if (*text == '-') {
    negative = true;
    ++text;
  }
  // 2^31 is the largest magnitude of a signed 32-bit value (reached only when negative).
  const int64_t limit = negative ? INT64_C(2147483648) : INT64_C(2147483647);
  int64_t magnitude = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    magnitude = magnitude * 10 + (*text - '0');
    // Stop accumulating once out of range; the remaining digits cannot bring it back.
    if (magnitude > limit) {
      result.fits = false;
      return result;
    }
  }
  result.value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return result;
}

int32_t AcceptNumberText(const char* text, int32_t previous, int32_t minimum, int32_t maximum) {
  const ParsedNumber number = ParseNumberText(text);
  if (number.fits && number.value >= minimum && number.value <= maximum) return number.value;
  return previous;
}
