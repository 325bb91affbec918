// WildcardPattern: tokens of whole characters, and the greedy match that goes back only to the
// last `*`, which keeps a match to text length times pattern length steps.
#include "filtering/wildcard_pattern.h"

namespace filtering {

WildcardPattern::WildcardPattern(std::string_view pattern, bool matchCase, const LeadTrailSets& codePage,
                                 const CaseFolding& folding)
    : codePage_(codePage), folding_(matchCase ? CaseFolding::None() : folding) {
  for (const bool lead : codePage_.lead) singleByte_ = singleByte_ && !lead;
  const auto* bytes = reinterpret_cast<const uint8_t*>(pattern.data());
  const std::size_t length = pattern.size();
  for (std::size_t i = 0; i < length; i += Width(bytes, length, i)) {
    // A double-byte character is a literal even where its trail byte is the value of * or ?.
    if (Width(bytes, length, i) == 2) {
      tokens_.push_back({Kind::kPair, bytes[i], bytes[i + 1]});
    } else if (bytes[i] == '*') {
      if (!tokens_.empty() && tokens_.back().kind != Kind::kAnyRun) tokens_.push_back({Kind::kAnyRun, 0, 0});
    } else if (bytes[i] == '?') {
      tokens_.push_back({Kind::kAnyOne, 0, 0});
    } else {
      tokens_.push_back({Kind::kByte, folding_.lower[bytes[i]], 0});
    }
  }
  if (!tokens_.empty() && tokens_.back().kind == Kind::kAnyRun) tokens_.pop_back();
}

WildcardPattern::WildcardPattern(std::string_view pattern, bool matchCase, const code_page::UnicodeFolding& folding)
    : singleByte_(false) {
  static const code_page::UnicodeFolding kNone = code_page::UnicodeFolding::None();
  unicode_ = matchCase ? &kNone : &folding;
  const auto* bytes = reinterpret_cast<const uint8_t*>(pattern.data());
  const std::size_t length = pattern.size();
  for (std::size_t i = 0; i < length;) {
    const code_page::Utf8Character c = code_page::Utf8At(bytes, length, i);
    i += c.bytes;
    if (!c.valid) {
      tokens_.push_back({Kind::kByte, bytes[i - 1], 0});
    } else if (c.codePoint == U'*') {
      if (!tokens_.empty() && tokens_.back().kind != Kind::kAnyRun) tokens_.push_back({Kind::kAnyRun, 0, 0});
    } else if (c.codePoint == U'?') {
      tokens_.push_back({Kind::kAnyOne, 0, 0});
    } else {
      tokens_.push_back({Kind::kCodePoint, 0, 0, unicode_->Fold(c.codePoint)});
    }
  }
  if (!tokens_.empty() && tokens_.back().kind == Kind::kAnyRun) tokens_.pop_back();
}

bool WildcardPattern::TokenMatches(const Token& token, const uint8_t* text, std::size_t width) const {
  switch (token.kind) {
    case Kind::kCodePoint: {
      const code_page::Utf8Character c = code_page::Utf8At(text, width, 0);
      return c.valid && unicode_->Fold(c.codePoint) == token.codePoint;
    }
    case Kind::kByte: return width == 1 && folding_.lower[text[0]] == token.first;
    case Kind::kPair: return width == 2 && text[0] == token.first && text[1] == token.second;
    case Kind::kAnyOne: return true;
    case Kind::kAnyRun: break;
  }
  return false;
}

std::size_t WildcardPattern::Seek(const Token& token, const uint8_t* text, std::size_t length,
                                  std::size_t at) const {
  if (token.kind == Kind::kAnyOne) return at;
  if (singleByte_ && token.kind == Kind::kByte) {
    while (at < length && folding_.lower[text[at]] != token.first) ++at;
    return at;
  }
  for (; at < length; at += Width(text, length, at)) {
    if (TokenMatches(token, text + at, Width(text, length, at))) break;
  }
  return at;
}

bool WildcardPattern::Matches(const uint8_t* text, std::size_t length) const {
  const std::size_t count = tokens_.size();
  std::size_t p = 0;  // the next token
  std::size_t t = 0;  // the next character's first byte
  // The last `*` seen (at first the one the pattern begins with): the token after it, and where
  // the text after it was last tried. A mismatch tries that token one character further on.
  std::size_t afterRun = 0;
  std::size_t runEnd = 0;
  while (p < count) {
    const Token& token = tokens_[p];
    if (token.kind == Kind::kAnyRun) {
      afterRun = ++p;
      runEnd = t;
      continue;
    }
    if (p == afterRun) {
      // Straight to the next character that can begin this token: what lies before it cannot.
      t = runEnd = Seek(token, text, length, t);
      if (t >= length) return false;
    }
    if (t < length) {
      const std::size_t width = Width(text, length, t);
      if (TokenMatches(token, text + t, width)) {
        t += width;
        ++p;
        continue;
      }
    }
    if (runEnd >= length) return false;
    runEnd += Width(text, length, runEnd);
    t = runEnd;
    p = afterRun;
  }
  return true;  // what is left of the text goes to the `*` the pattern ends with
}

}  // namespace filtering
