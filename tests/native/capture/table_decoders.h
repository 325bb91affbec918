// CodePageDecoders for the native tests, each answering as MultiByteToWideChar with
// MB_ERR_INVALID_CHARS does for its code page, from a small table: Shift-JIS (the characters of
// cp932_cases.h), a single-byte Western page, and UTF-8 (up to four bytes a character).
#pragma once

#include <map>
#include <string>

#include "code_page/code_page_decoder.h"

namespace capture_testing {

class ShiftJisTableDecoder final : public code_page::CodePageDecoder {
 public:
  bool Decode(const char* bytes, std::size_t length, std::u16string& out) const override {
    static const std::map<unsigned, char16_t> kPairs = {
        {0x955C, u'\u8868'}, {0x8EA6, u'\u793A'}, {0x835C, u'\u30BD'}, {0x815C, u'\u2015'}, {0x815F, u'\uFF3C'},
        {0x93FA, u'\u65E5'}, {0x967B, u'\u672C'}, {0x8CEA, u'\u8A9E'}, {0x82A0, u'\u3042'}, {0x9393, u'\u6D9B'},
    };
    out.clear();
    for (std::size_t i = 0; i < length; ++i) {
      const unsigned char byte = static_cast<unsigned char>(bytes[i]);
      if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
        if (i + 1 == length) return false;  // a lead byte without its trail byte
        const auto pair = kPairs.find(byte << 8 | static_cast<unsigned char>(bytes[++i]));
        if (pair == kPairs.end()) return false;  // outside this table: taken as unassigned
        out += pair->second;
      } else if (byte >= 0xA1 && byte <= 0xDF) {
        out += static_cast<char16_t>(0xFF61 + (byte - 0xA1));  // half-width katakana
      } else if (byte < 0x80) {
        out += static_cast<char16_t>(byte);
      } else {
        return false;
      }
    }
    return true;
  }
  std::size_t MaxCharBytes() const override { return 2; }
};

// Latin-1 with the euro sign at 0x80 and 0x81..0x9F unassigned.
class WesternTableDecoder final : public code_page::CodePageDecoder {
 public:
  bool Decode(const char* bytes, std::size_t length, std::u16string& out) const override {
    out.clear();
    for (std::size_t i = 0; i < length; ++i) {
      const unsigned char byte = static_cast<unsigned char>(bytes[i]);
      if (byte == 0x80) {
        out += u'\u20AC';
      } else if (byte > 0x80 && byte < 0xA0) {
        return false;
      } else {
        out += static_cast<char16_t>(byte);
      }
    }
    return true;
  }
  std::size_t MaxCharBytes() const override { return 1; }
};

// UTF-8 as an ANSI code page (65001): strict, shortest forms only, no surrogates.
class Utf8TableDecoder final : public code_page::CodePageDecoder {
 public:
  bool Decode(const char* bytes, std::size_t length, std::u16string& out) const override {
    out.clear();
    std::size_t i = 0;
    while (i < length) {
      const unsigned char lead = static_cast<unsigned char>(bytes[i]);
      std::size_t size = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                         : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
      if (size == 0 || i + size > length) return false;
      char32_t point = size == 1 ? lead : lead & (0xFF >> (size + 1));
      for (std::size_t k = 1; k < size; ++k) {
        const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
        if ((next & 0xC0) != 0x80) return false;
        point = point << 6 | (next & 0x3F);
      }
      static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
      if (point < kSmallest[size] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return false;
      if (point >= 0x10000) {
        out += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
      } else {
        out += static_cast<char16_t>(point);
      }
      i += size;
    }
    return true;
  }
  std::size_t MaxCharBytes() const override { return 4; }
};

}  // namespace capture_testing
