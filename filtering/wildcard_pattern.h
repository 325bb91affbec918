// WildcardPattern: a filter's pattern, prepared once, matched anywhere in a text of the ANSI code
// page or in UTF-8. Portable: no Windows header; the code page and the folding come in as data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "code_page/case_folding.h"
#include "code_page/lead_trail_sets.h"
#include "code_page/utf8_characters.h"

namespace filtering {

// `*` matches any run of characters (also none), `?` exactly one character, every other
// character itself; the pattern may match anywhere, as if it began and ended with `*`. Text and
// pattern are split into whole characters by the code page's lead and trail sets: a match starts
// on a character, `?` takes a double-byte character whole, and a pattern character never matches
// half of one. Without matchCase single-byte characters compare by the folding; double-byte ones
// always byte for byte. A match takes at most text length times pattern length steps.
class WildcardPattern {
 public:
  WildcardPattern() = default;  // the empty pattern: matches every text
  WildcardPattern(std::string_view pattern, bool matchCase, const LeadTrailSets& codePage,
                  const CaseFolding& folding);
  // Pattern and texts in UTF-8: characters are code points, folded by `folding` (which must
  // outlive the pattern) unless the case must match; a byte that begins no character matches
  // only itself.
  WildcardPattern(std::string_view pattern, bool matchCase, const code_page::UnicodeFolding& folding);

  bool Matches(const uint8_t* text, std::size_t length) const;
  bool Matches(std::string_view text) const {
    return Matches(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  }

 private:
  enum class Kind : uint8_t { kByte, kPair, kAnyOne, kAnyRun, kCodePoint };
  struct Token {
    Kind kind;
    uint8_t first;   // kByte: the byte as folded; kPair: the lead byte
    uint8_t second;  // kPair: the trail byte
    char32_t codePoint = 0;  // kCodePoint: as folded
  };

  std::size_t Width(const uint8_t* text, std::size_t length, std::size_t at) const {
    if (unicode_) return code_page::Utf8At(text, length, at).bytes;
    return at + 1 < length && codePage_.IsDoubleByte(text[at], text[at + 1]) ? 2 : 1;
  }
  bool TokenMatches(const Token& token, const uint8_t* text, std::size_t width) const;
  // The first character at or after `at` whose first byte can begin a match of token.
  std::size_t Seek(const Token& token, const uint8_t* text, std::size_t length, std::size_t at) const;

  std::vector<Token> tokens_;  // no run at either end: the pattern matches anywhere anyway
  LeadTrailSets codePage_;
  CaseFolding folding_ = CaseFolding::None();  // None() when matching case
  bool singleByte_ = true;                     // no lead bytes: every character is one byte
  const code_page::UnicodeFolding* unicode_ = nullptr;  // UTF-8 text: its folding
};

}  // namespace filtering
