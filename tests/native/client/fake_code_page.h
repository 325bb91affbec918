// A small double-byte code page for formatter tests, standing in for the DLL's ANSI code page conversion.
#pragma once

#include <cstddef>

#include "client/format_arguments.h"

namespace tellit::testing {

// ASCII is itself; U+3000..U+307F is the byte 0x82 followed by 0x80 plus the low seven bits
// (U+3042 is "\x82\xC2"); every other character is '?'. A lead byte 0x82 without its trail
// byte is '?' too.
class FakeCodePage final : public TextConversion {
 public:
  Converted ToNarrow(const wchar_t* text, char* out, std::size_t room) override {
    std::size_t written = 0;
    for (; *text != L'\0'; ++text) {
      char bytes[2] = {'?', 0};
      std::size_t count = 1;
      if (*text < 0x80) {
        bytes[0] = static_cast<char>(*text);
      } else if (*text >= 0x3000 && *text <= 0x307F) {
        bytes[0] = '\x82';
        bytes[1] = static_cast<char>(0x80 | (*text & 0x7F));
        count = 2;
      }
      if (written + count > room) return {written, false};
      for (std::size_t i = 0; i < count; ++i) {
        if (out) out[written] = bytes[i];
        ++written;
      }
    }
    return {written, true};
  }

  Converted ToWide(const char* text, wchar_t* out, std::size_t room) override {
    std::size_t written = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
      wchar_t unit = L'?';
      if (*p < 0x80) {
        unit = *p;
      } else if (*p == 0x82 && p[1] >= 0x80) {
        unit = static_cast<wchar_t>(0x3000 | (p[1] & 0x7F));
        ++p;
      }
      if (written + 1 > room) return {written, false};
      if (out) out[written] = unit;
      ++written;
    }
    return {written, true};
  }
};

}  // namespace tellit::testing
