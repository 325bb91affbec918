// Fuzzes the wildcard match against a plain reference: both split the bytes into characters of
// the code page, and the reference tries every start and every run with a table of what it has
// already worked out. Input: a flags byte, the pattern's length, the pattern, then the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "filtering/wildcard_pattern.h"

namespace {

struct Character {
  uint8_t first;
  uint8_t second;
  bool pair;
};

std::vector<Character> Split(const std::string& bytes, const LeadTrailSets& codePage) {
  std::vector<Character> characters;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t first = uint8_t(bytes[i]);
    if (i + 1 < bytes.size() && codePage.IsDoubleByte(first, uint8_t(bytes[i + 1]))) {
      characters.push_back({first, uint8_t(bytes[++i]), true});
    } else {
      characters.push_back({first, 0, false});
    }
  }
  return characters;
}

// Whether pattern[j..] matches text from character i on, whatever follows it.
class Reference {
 public:
  Reference(std::vector<Character> pattern, std::vector<Character> text, const CaseFolding& folding)
      : pattern_(std::move(pattern)), text_(std::move(text)), folding_(folding),
        known_((pattern_.size() + 1) * (text_.size() + 1), kUnknown) {}

  bool MatchesAnywhere() {
    for (std::size_t i = 0; i <= text_.size(); ++i) {
      if (From(i, 0)) return true;
    }
    return false;
  }

 private:
  static constexpr int8_t kUnknown = -1;

  bool Same(const Character& p, const Character& t) const {
    if (p.pair || t.pair) return p.pair == t.pair && p.first == t.first && p.second == t.second;
    return folding_.lower[p.first] == folding_.lower[t.first];
  }

  bool From(std::size_t i, std::size_t j) {
    if (j == pattern_.size()) return true;
    int8_t& known = known_[j * (text_.size() + 1) + i];
    if (known != kUnknown) return known == 1;
    const Character& p = pattern_[j];
    bool matches;
    if (!p.pair && p.first == '*') {
      matches = From(i, j + 1) || (i < text_.size() && From(i + 1, j));
    } else if (!p.pair && p.first == '?') {
      matches = i < text_.size() && From(i + 1, j + 1);
    } else {
      matches = i < text_.size() && Same(p, text_[i]) && From(i + 1, j + 1);
    }
    known = matches ? 1 : 0;
    return matches;
  }

  std::vector<Character> pattern_;
  std::vector<Character> text_;
  CaseFolding folding_;
  std::vector<int8_t> known_;
};

// Folding of code page 1252's kind: some letters above ASCII too.
CaseFolding WideFolding() {
  CaseFolding folding = CaseFolding::Ascii();
  for (int b = 0xC0; b <= 0xDE; ++b) {
    if (b != 0xD7) folding.lower[b] = uint8_t(b + 0x20);
  }
  return folding;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Small inputs keep the reference's table small; the match itself is linear-ish anyway.
  if (size < 2 || size > 512) return 0;
  const uint8_t flags = data[0];
  const std::size_t patternLength = data[1] % 64 < size - 2 ? data[1] % 64 : size - 2;
  const std::string pattern(reinterpret_cast<const char*>(data + 2), patternLength);
  const std::string text(reinterpret_cast<const char*>(data + 2 + patternLength), size - 2 - patternLength);
  const bool matchCase = flags & 1;
  static const LeadTrailSets shiftJis = LeadTrailSets::ShiftJis();
  static const LeadTrailSets singleByte = LeadTrailSets::SingleByte();
  static const CaseFolding ascii = CaseFolding::Ascii();
  static const CaseFolding wide = WideFolding();
  const LeadTrailSets& codePage = flags & 2 ? shiftJis : singleByte;
  const CaseFolding& folding = flags & 4 ? wide : ascii;

  const filtering::WildcardPattern compiled(pattern, matchCase, codePage, folding);
  const bool matches = compiled.Matches(text);
  Reference reference(Split(pattern, codePage), Split(text, codePage), matchCase ? CaseFolding::None() : folding);
  if (matches != reference.MatchesAnywhere()) std::abort();
  // Ignoring case can only find more.
  if (matchCase && matches && !filtering::WildcardPattern(pattern, false, codePage, folding).Matches(text)) {
    std::abort();
  }
  return 0;
}
