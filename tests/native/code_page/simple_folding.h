// A folding written apart from the system's, for tests: ASCII, Greek and Cyrillic capitals to
// their small letters, and the Kelvin sign to k (a fold that changes the UTF-8 length).
#pragma once

#include <vector>

#include "code_page/utf8_characters.h"

inline const code_page::UnicodeFolding& SimpleFolding() {
  static const code_page::UnicodeFolding folding = [] {
    std::vector<char16_t> lower(0x10000);
    for (size_t c = 0; c < lower.size(); ++c) lower[c] = char16_t(c);
    for (char16_t c = u'A'; c <= u'Z'; ++c) lower[c] = char16_t(c + 0x20);
    for (char16_t c = 0x391; c <= 0x3A9; ++c) lower[c] = c == 0x3A2 ? c : char16_t(c + 0x20);
    for (char16_t c = 0x410; c <= 0x42F; ++c) lower[c] = char16_t(c + 0x20);
    lower[0x212A] = u'k';
    return code_page::UnicodeFolding::FromTable(std::move(lower));
  }();
  return folding;
}
