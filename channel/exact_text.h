// The exact text that tellit.dll puts between a datagram's NUL and its sender trailer when a reader
// could not get it back from the text up to the NUL: characters the sender's ANSI code page lacks,
// or a sender whose ANSI code page is UTF-8, unlike the reader's. A reader that takes the text up
// to the NUL, or reads the trailer from the end, sees what it saw before. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel/sender_trailer.h"
#include "channel/utf8_rule.h"

namespace channel {

// After the text's NUL: the UTF-8 bytes (no NUL), then the footer: "TLU1" (the last character the
// version), the sender's ANSI code page and the UTF-8 length, little-endian, and a NUL, so that the
// sender trailer still follows a NUL. A length of 0 says that the text up to the NUL is exact as it
// stands, in the code page named (a sender whose ANSI code page is UTF-8): nothing is sent twice.
inline constexpr unsigned kExactFooterBytes = 13;
inline constexpr uint8_t kExactMagic[4] = {0x54, 0x4C, 0x55, 0x31};
// Code pages are 16-bit numbers.
inline constexpr uint32_t kLargestCodePage = 0xFFFF;
inline constexpr uint32_t kUtf8CodePage = 65001;

struct ExactText {
  uint32_t codePage = 0;            // the sender's ANSI code page, which its text up to the NUL is in
  const uint8_t* utf8 = nullptr;  // points into the datagram
  std::size_t length = 0;         // 0: the text up to the NUL is exact, in `codePage`
};

// The bytes the block of `utf8Length` bytes of text takes after the text's NUL.
inline constexpr std::size_t ExactBlockBytes(std::size_t utf8Length) { return utf8Length + kExactFooterBytes; }

// Writes the footer's kExactFooterBytes bytes; the UTF-8 bytes come right before `out`.
inline void EncodeExactFooter(uint32_t codePage, uint32_t utf8Length, uint8_t* out) {
  for (int i = 0; i < 4; ++i) out[i] = kExactMagic[i];
  detail::Put32(out + 4, codePage);
  detail::Put32(out + 8, utf8Length);
  out[12] = 0;
}

// The block of a datagram of `size` bytes before its sender trailer, whose text (before its first
// NUL) is `textLength` bytes: found only when it fills every byte from the NUL to the end exactly,
// its footer is whole, the code page is one and its text is well-formed UTF-8 without NUL. False
// for anything else (a client that sends none, a foreign writer, a datagram cut on its way): the
// text up to the NUL is then all there is.
inline bool ParseExactText(const uint8_t* datagram, std::size_t size, std::size_t textLength, ExactText& out) {
  if (datagram == nullptr || textLength >= size || size - textLength - 1 < ExactBlockBytes(0)) return false;
  if (datagram[textLength] != 0) return false;
  const uint8_t* footer = datagram + (size - kExactFooterBytes);
  for (int i = 0; i < 4; ++i)
    if (footer[i] != kExactMagic[i]) return false;
  if (footer[12] != 0) return false;
  const uint32_t codePage = detail::Get32(footer + 4);
  const uint32_t length = detail::Get32(footer + 8);
  if (codePage == 0 || codePage > kLargestCodePage) return false;
  if (ExactBlockBytes(length) != size - textLength - 1) return false;
  const uint8_t* utf8 = datagram + textLength + 1;
  if (!IsUtf8WithoutNul(utf8, length)) return false;
  out.codePage = codePage;
  out.utf8 = utf8;
  out.length = length;
  return true;
}

}  // namespace channel
