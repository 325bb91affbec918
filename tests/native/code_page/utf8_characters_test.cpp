// UTF-8 split into characters, the cells East Asian text gives them, UTF-16 and foldings.
#include "code_page/utf8_characters.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/native/code_page/simple_folding.h"

namespace {

using code_page::Utf8At;

TEST(Utf8Characters, EachWellFormedSequenceIsOneCharacterAndEveryOtherByteStandsAlone) {
  const struct {
    std::string text;
    uint32_t bytes;
    char32_t codePoint;
    bool valid;
  } cases[] = {
      {"A", 1, U'A', true},
      {"\xC3\xA9", 2, U'\u00E9', true},           // é
      {"\xCE\xA9", 2, U'\u03A9', true},           // Ω
      {"\xE6\x97\xA5", 3, U'\u65E5', true},       // 日
      {"\xF0\x9F\x98\x80", 4, U'\U0001F600', true},  // 😀
      {"\xEF\xBF\xBD", 3, U'\uFFFD', true},       // U+FFFD itself
      {"\x80", 1, U'\uFFFD', false},              // a continuation byte alone
      {"\xC0\x80", 1, U'\uFFFD', false},          // overlong NUL
      {"\xE0\x80\x80", 1, U'\uFFFD', false},      // overlong
      {"\xF0\x80\x80\x80", 1, U'\uFFFD', false},  // overlong
      {"\xED\xA0\x80", 1, U'\uFFFD', false},      // a surrogate
      {"\xF4\x90\x80\x80", 1, U'\uFFFD', false},  // beyond U+10FFFF
      {"\xF5\x80\x80\x80", 1, U'\uFFFD', false},
      {"\xE6\x97", 1, U'\uFFFD', false},          // cut short
      {"\xE6\x97" "A", 1, U'\uFFFD', false},      // broken by the next character
      {"\xFF", 1, U'\uFFFD', false},
  };
  for (const auto& c : cases) {
    const code_page::Utf8Character at = Utf8At(c.text, c.text.size(), 0);
    EXPECT_EQ(at.bytes, c.bytes) << c.text;
    EXPECT_EQ(uint32_t(at.codePoint), uint32_t(c.codePoint)) << c.text;
    EXPECT_EQ(at.valid, c.valid) << c.text;
  }
}

TEST(Utf8Characters, WideCharactersTakeTwoCellsAndAmbiguousOnesWhereTheCodePageSaysSo) {
  const struct {
    char32_t codePoint;
    bool wide;
    bool wideWhereAmbiguous;
  } cases[] = {
      {U'A', false, false},       {U'\u00E9', false, false},  // é: no double-byte code page has it wide
      {U'\u00D7', false, true},   // ×
      {U'\u03B1', false, true},   // α
      {U'\u0416', false, true},   // Ж
      {U'\u2500', false, true},   // box drawing
      {U'\u3042', true, true},    // あ
      {U'\u65E5', true, true},    // 日
      {U'\uAC00', true, true},    // 가
      {U'\uFF21', true, true},    // full-width A
      {U'\uFF71', false, false},  // half-width katakana a: one cell, as its one byte of code page 932
      {U'\U0001F600', true, true}, {U'\U00020000', true, true}, {U'\U000E0001', false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(code_page::IsWide(c.codePoint, false), c.wide) << std::hex << uint32_t(c.codePoint);
    EXPECT_EQ(code_page::IsWide(c.codePoint, true), c.wideWhereAmbiguous) << std::hex << uint32_t(c.codePoint);
  }
}

TEST(Utf8Characters, WholeTextDropsOnlyACharacterCutShortAtTheEnd) {
  const struct {
    std::string text;
    size_t whole;
  } cases[] = {
      {"", 0},
      {"abc", 3},
      {"a\xE6\x97\xA5", 4},
      {"a\xE6\x97", 1},
      {"a\xE6", 1},
      {"a\xF0\x9F\x98", 1},
      {"a\xF0\x9F\x98\x80", 5},
      {"a\xC3", 1},
      {"a\x80", 2},  // a stray continuation byte is no character cut short: it stays
  };
  for (const auto& c : cases) {
    EXPECT_EQ(code_page::WholeUtf8(reinterpret_cast<const uint8_t*>(c.text.data()), c.text.size()), c.whole) << c.text;
  }
}

TEST(Utf8Characters, CodePointsBeyondThePlaneBecomeSurrogatePairs) {
  std::u16string units;
  code_page::AppendUtf16(units, U'A');
  code_page::AppendUtf16(units, U'\u65E5');
  code_page::AppendUtf16(units, U'\U0001F600');
  code_page::AppendUtf16(units, U'\U0010FFFF');
  EXPECT_EQ(units, u"A\u65E5\U0001F600\U0010FFFF");
}

TEST(Utf8Characters, FoldingsMapWhatTheirTablesSay) {
  const code_page::UnicodeFolding none = code_page::UnicodeFolding::None();
  const code_page::UnicodeFolding ascii = code_page::UnicodeFolding::Ascii();
  const code_page::UnicodeFolding& simple = SimpleFolding();
  EXPECT_EQ(none.Fold(U'A'), U'A');
  EXPECT_EQ(ascii.Fold(U'A'), U'a');
  EXPECT_EQ(ascii.Fold(U'\u03A3'), U'\u03A3');
  EXPECT_EQ(simple.Fold(U'\u03A3'), U'\u03C3');
  EXPECT_EQ(simple.Fold(U'\u0416'), U'\u0436');
  EXPECT_EQ(simple.Fold(U'\U0001F600'), U'\U0001F600');
  // A table that maps a surrogate is not followed there.
  std::vector<char16_t> odd(0x10000, u'x');
  EXPECT_EQ(code_page::UnicodeFolding::FromTable(odd).Fold(0xD800), char32_t(0xD800));
}

}  // namespace
