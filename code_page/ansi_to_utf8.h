// Text in the ANSI code page made UTF-8, as a message is kept from its intake on: nothing dropped,
// every byte that is no character of the code page replaced by U+FFFD.
#pragma once

#include <cstddef>
#include <string>

#include "code_page/code_page_decoder.h"

namespace code_page {

// Appends the UTF-8 form of a code point; one that is no Unicode scalar value (a surrogate, or
// beyond U+10FFFF) becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// Appends UTF-16 code units as UTF-8; an unpaired surrogate becomes U+FFFD.
void AppendUtf16AsUtf8(std::string& out, const std::u16string& units);

// The text as UTF-8. Decoded whole when it is all valid; otherwise character by character, each
// byte that starts no valid character becoming one U+FFFD and decoding going on at the next byte,
// so that a bad lead byte never swallows the ASCII character after it.
std::string AnsiToUtf8(const CodePageDecoder& decoder, const char* text, std::size_t length);

}  // namespace code_page
