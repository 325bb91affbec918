// CodePageDecoder: the one platform question of decoding text into UTF-8, what characters some
// bytes of a code page are. Win32 answers it with MultiByteToWideChar; tests answer with tables.
#pragma once

#include <cstddef>
#include <string>

namespace code_page {

class CodePageDecoder {
 public:
  virtual ~CodePageDecoder() = default;
  // Decodes bytes into UTF-16 code units. False when any byte sequence is not valid in the code
  // page, a double-byte character's lead byte without its trail byte included; out is then
  // unspecified.
  virtual bool Decode(const char* bytes, std::size_t length, std::u16string& out) const = 0;
  // The most bytes one character of the code page takes (1 single-byte, 2 double-byte, up to 4).
  virtual std::size_t MaxCharBytes() const = 0;
};

}  // namespace code_page
