// What well-formed UTF-8 is, as the wire and its readers check it: shortest forms only, no
// surrogates, nothing beyond U+10FFFF. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace channel {

// The bytes of the well-formed UTF-8 character at the start of `text` (at most `available`
// bytes), or 0 when none starts there: a stray continuation byte, a lead byte without its
// continuations, an overlong form, a surrogate or a code point beyond U+10FFFF.
inline std::size_t Utf8CharacterBytes(const uint8_t* text, std::size_t available) {
  if (available == 0) return 0;
  const uint8_t lead = text[0];
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  uint8_t low = 0x80;  // the range of the second byte, which rules out overlongs and surrogates
  uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (available < length || text[1] < low || text[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((text[i] & 0xC0) != 0x80) return 0;
  }
  return length;
}

// Whether all `length` bytes are well-formed UTF-8 without a NUL.
inline bool IsUtf8WithoutNul(const uint8_t* text, std::size_t length) {
  std::size_t at = 0;
  while (at < length) {
    if (text[at] == 0) return false;
    const std::size_t bytes = Utf8CharacterBytes(text + at, length - at);
    if (bytes == 0) return false;
    at += bytes;
  }
  return true;
}

}  // namespace channel
