// Utf8Characters: UTF-8 text split into whole characters, the display cells each takes, and case
// folding of code points, for the console and the filters. Portable: no Windows header; the
// system's folding comes in as data (UnicodeFolding).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace code_page {

// One character of UTF-8 text: its bytes (1 to 4) and code point. A byte that starts no
// well-formed sequence (a stray continuation byte, an overlong form, a surrogate, a value beyond
// U+10FFFF, a sequence cut short) is a character of one byte standing for U+FFFD.
struct Utf8Character {
  uint32_t bytes = 1;
  char32_t codePoint = 0xFFFD;
  bool valid = false;
};

// The character at p of a text of length bytes; bytes[i] for i < length must be readable.
template <typename Bytes>
Utf8Character Utf8At(const Bytes& text, std::size_t length, std::size_t p) {
  Utf8Character c;
  const uint8_t lead = uint8_t(text[p]);
  if (lead < 0x80) return {1, char32_t(lead), true};
  uint32_t need = 0;
  char32_t value = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1, value = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2, value = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3, value = lead & 0x07, least = 0x10000;
  } else {
    return c;
  }
  if (p + need >= length) return c;  // cut short
  for (uint32_t i = 1; i <= need; ++i) {
    const uint8_t next = uint8_t(text[p + i]);
    if ((next & 0xC0) != 0x80) return c;
    value = value << 6 | (next & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return c;
  return {need + 1, value, true};
}

// Whether the code point is one of the characters East Asian text sets in two cells (wide and
// full-width forms: CJK ideographs, kana, Hangul, full-width Latin, most emoji). With
// ambiguousWide, also those a double-byte code page sets so (Greek, Cyrillic, box drawing and
// the symbols of the Japanese, Chinese and Korean code pages).
bool IsWide(char32_t codePoint, bool ambiguousWide);

// The cells a character of UTF-8 text takes before tabs and hex codes are laid out: two for a
// wide one of more than a byte, one otherwise (also for a byte that begins no character).
inline uint32_t Utf8Cells(const Utf8Character& c, bool ambiguousWide) {
  return c.bytes > 1 && IsWide(c.codePoint, ambiguousWide) ? 2 : 1;
}

// Whether every byte is ASCII: text that reads the same in UTF-8 and in every ANSI code page.
inline bool IsAscii(const void* bytes, std::size_t length) {
  const auto* at = static_cast<const uint8_t*>(bytes);
  for (std::size_t i = 0; i < length; ++i) {
    if (at[i] >= 0x80) return false;
  }
  return true;
}

// The length of UTF-8 text without a character cut short at its end.
std::size_t WholeUtf8(const uint8_t* text, std::size_t length);

// Appends the code point as UTF-16 code units (a surrogate pair beyond the BMP).
void AppendUtf16(std::u16string& out, char32_t codePoint);

// The folded (lower-case) form of each code point of the Basic Multilingual Plane; code points
// beyond it stand for themselves.
class UnicodeFolding {
 public:
  static UnicodeFolding None();   // every code point stands for itself
  static UnicodeFolding Ascii();  // 'A'..'Z' to 'a'..'z'
  // From the lower-case form of every BMP code point, as the system maps them (65,536 entries;
  // an entry of a surrogate is ignored).
  static UnicodeFolding FromTable(std::vector<char16_t> lower);

  char32_t Fold(char32_t c) const { return c < lower_.size() ? char32_t(lower_[c]) : c; }

 private:
  std::vector<char16_t> lower_;
};

}  // namespace code_page
