// The UTF-8 step of the JSON output: hard cases of Shift-JIS, a single-byte page and UTF-8, and
// the UTF-16 to UTF-8 rules beneath them.
#include <gtest/gtest.h>

#include <string>

#include "code_page/ansi_to_utf8.h"
#include "cp932_cases.h"
#include "table_decoders.h"

namespace {

using code_page::AnsiToUtf8;

std::string Utf8Of(const code_page::CodePageDecoder& decoder, const std::string& bytes) {
  return AnsiToUtf8(decoder, bytes.data(), bytes.size());
}

TEST(AnsiToUtf8, ShiftJisHardCases) {
  const capture_testing::ShiftJisTableDecoder decoder;
  for (const auto& c : capture_cases::kCp932Cases) {
    EXPECT_EQ(Utf8Of(decoder, c.bytes), c.utf8) << c.name;
  }
}

TEST(AnsiToUtf8, SingleByteCodePage) {
  const capture_testing::WesternTableDecoder decoder;
  const struct {
    const char* name;
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {"Latin-1 letter", "caf\xE9", "caf\xC3\xA9"},
      {"euro sign", "\x80", "\xE2\x82\xAC"},
      {"unassigned byte between letters", "a\x81z", "a\xEF\xBF\xBDz"},
      {"every unassigned byte is replaced, none dropped", "\x81\x82\x83", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"NUL bytes pass (a debug text may hold none, a JSON string can)", std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8Of(decoder, c.bytes), c.utf8) << c.name;
  }
}

TEST(AnsiToUtf8, Utf8CodePageTriesCharactersOfUpToFourBytes) {
  const capture_testing::Utf8TableDecoder decoder;
  const struct {
    const char* name;
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {"valid text passes whole", "\xE6\x97\xA5 ok", "\xE6\x97\xA5 ok"},
      {"a character outside the BMP (a surrogate pair in UTF-16)", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"a cut character at the end: each byte replaced", "x\xE6\x97", "x\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"a lone lead byte before ASCII", "\xC3" "A", "\xEF\xBF\xBD" "A"},
      {"an overlong form", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"a four-byte character after an invalid byte", "\xFF\xF0\x9F\x98\x80", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8Of(decoder, c.bytes), c.utf8) << c.name;
  }
}

TEST(AnsiToUtf8, EmptyTextIsEmpty) {
  const capture_testing::ShiftJisTableDecoder decoder;
  EXPECT_EQ(AnsiToUtf8(decoder, "", 0), "");
}

// A decoder that counts its calls: a valid text must not be decoded byte by byte.
class CountingDecoder final : public code_page::CodePageDecoder {
 public:
  bool Decode(const char* bytes, std::size_t length, std::u16string& out) const override {
    ++calls;
    return inner.Decode(bytes, length, out);
  }
  std::size_t MaxCharBytes() const override { return inner.MaxCharBytes(); }
  capture_testing::ShiftJisTableDecoder inner;
  mutable int calls = 0;
};

TEST(AnsiToUtf8, AValidTextTakesOneDecodeAndAnInvalidOneStillEndsWhole) {
  CountingDecoder decoder;
  // A katakana "so" (83 5C, whose trail byte is a backslash) among ASCII: decoding is needed.
  const std::string valid = std::string(5000, 'a') + "\x83\x5C";
  EXPECT_EQ(Utf8Of(decoder, valid), std::string(5000, 'a') + "\xE3\x82\xBD");
  EXPECT_EQ(decoder.calls, 1);
  std::string invalid = std::string(5000, 'a') + "\x95";
  EXPECT_EQ(Utf8Of(decoder, invalid), std::string(5000, 'a') + "\xEF\xBF\xBD");
}

TEST(AnsiToUtf8, AsciiTextIsItsOwnUtf8WithoutADecode) {
  CountingDecoder decoder;
  for (const std::string& ascii : {std::string(), std::string("a"), std::string(5000, 'a'), std::string("\x01\x7F\\~")}) {
    decoder.calls = 0;
    EXPECT_EQ(Utf8Of(decoder, ascii), ascii);
    EXPECT_EQ(decoder.calls, 0) << ascii.size();
  }
}

TEST(Utf8Encoding, CodePointsAtEveryLengthBoundary) {
  const struct {
    char32_t point;
    std::string utf8;
  } cases[] = {
      {0x00, std::string(1, '\0')},
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
      {0x110000, "\xEF\xBF\xBD"},  // beyond Unicode
      {0xD800, "\xEF\xBF\xBD"},    // a surrogate is no character
      {0xDFFF, "\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    std::string out;
    code_page::AppendUtf8(out, c.point);
    EXPECT_EQ(out, c.utf8) << std::hex << static_cast<unsigned long>(c.point);
  }
}

TEST(Utf8Encoding, Utf16PairsJoinAndLoneSurrogatesAreReplaced) {
  const struct {
    const char* name;
    std::u16string units;
    std::string utf8;
  } cases[] = {
      {"a pair", u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
      {"a high surrogate alone before a letter", std::u16string{0xD83D, u'x'}, "\xEF\xBF\xBDx"},
      {"a high surrogate at the end", std::u16string{u'x', 0xD83D}, "x\xEF\xBF\xBD"},
      {"a low surrogate first", std::u16string{0xDE00, 0xD83D}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"two high surrogates then a low one", std::u16string{0xD83D, 0xD83D, 0xDE00}, "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
  };
  for (const auto& c : cases) {
    std::string out;
    code_page::AppendUtf16AsUtf8(out, c.units);
    EXPECT_EQ(out, c.utf8) << c.name;
  }
}

}  // namespace
