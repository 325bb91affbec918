// Decoding ANSI text into UTF-8 through a CodePageDecoder, with U+FFFD for invalid bytes.
#include "code_page/ansi_to_utf8.h"

namespace code_page {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Whether the units are exactly one character: one unit that is no surrogate, or one pair.
bool IsOneCharacter(const std::u16string& units) {
  if (units.size() == 1) return !IsHighSurrogate(units[0]) && !IsLowSurrogate(units[0]);
  return units.size() == 2 && IsHighSurrogate(units[0]) && IsLowSurrogate(units[1]);
}

}  // namespace

void AppendUtf8(std::string& out, char32_t codePoint) {
  if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) codePoint = kReplacement;
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

void AppendUtf16AsUtf8(std::string& out, const std::u16string& units) {
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      AppendUtf8(out, unit);  // a lone surrogate comes out as U+FFFD
    }
  }
}

std::string AnsiToUtf8(const CodePageDecoder& decoder, const char* text, std::size_t length) {
  // ASCII is itself in every ANSI code page and in UTF-8: most messages need no decoding.
  std::size_t ascii = 0;
  while (ascii < length && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
  if (ascii == length) return std::string(text, length);
  std::string out;
  out.reserve(length);
  std::u16string units;
  if (decoder.Decode(text, length, units)) {
    AppendUtf16AsUtf8(out, units);
    return out;
  }
  // Some byte is invalid: find each character as the shortest run of bytes that decodes to
  // exactly one character. A double-byte lead byte alone does not decode, so the pair is found;
  // a lead byte with an invalid trail byte decodes at no length and stands alone as U+FFFD.
  const std::size_t maxBytes = decoder.MaxCharBytes() == 0 ? 1 : decoder.MaxCharBytes();
  std::size_t at = 0;
  while (at < length) {
    std::size_t taken = 0;
    for (std::size_t size = 1; size <= maxBytes && at + size <= length; ++size) {
      if (decoder.Decode(text + at, size, units) && IsOneCharacter(units)) {
        taken = size;
        break;
      }
    }
    if (taken == 0) {
      AppendUtf8(out, kReplacement);
      ++at;
    } else {
      AppendUtf16AsUtf8(out, units);
      at += taken;
    }
  }
  return out;
}

}  // namespace code_page
