// Strings and characters of the other width: converted through the caller's code page, whole characters only.
#include "client/format_engine.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "fake_code_page.h"
#include "table_arguments.h"

namespace tellit::testing {
namespace {

template <typename Char>
std::pair<std::basic_string<Char>, FormatOutcome> Format(const std::basic_string<Char>& format,
                                                         const std::vector<Value>& values,
                                                         std::uint32_t capacity = 256) {
  TableArguments<Char> arguments(values);
  FakeCodePage codePage;
  auto buffer = std::make_unique<Char[]>(capacity);
  const FormatOutcome outcome = FormatText(format.c_str(), buffer.get(), capacity, arguments, codePage);
  EXPECT_EQ(arguments.consumed(), outcome.overflowed ? arguments.consumed() : values.size());
  return {std::basic_string<Char>(buffer.get()), outcome};
}

struct NarrowCase {
  const char* name;
  std::string format;
  std::vector<Value> arguments;
  std::string expected;  // in the fake code page, where U+3042 is "\x82\xC2"
};

TEST(ConvertedInNarrowText, WideStringsAndCharactersGoThroughTheCodePage) {
  const std::vector<NarrowCase> cases = {
      {"string", "%ls", {Wide(L"a\x3042z")}, "a\x82\xC2z"},
      {"upper S", "[%S]", {Wide(L"\x3042\x3043")}, "[\x82\xC2\x82\xC3]"},
      {"precision counts bytes", "%.2ls|", {Wide(L"\x3042\x3043")}, "\x82\xC2|"},
      {"precision never splits a character", "%.3ls|%.1ls|", {Wide(L"\x3042\x3043"), Wide(L"\x3042")},
       "\x82\xC2||"},
      {"width counts bytes", "%5ls|%-5ls|", {Wide(L"\x3042"), Wide(L"\x3043")}, "   \x82\xC2|\x82\xC3   |"},
      {"width and precision", "%4.3ls|", {Wide(L"\x3042\x3043")}, "  \x82\xC2|"},
      {"text wider than the width", "%3ls|", {Wide(L"\x3042\x3043")}, "\x82\xC2\x82\xC3|"},
      {"width of exactly the text", "%4ls|", {Wide(L"\x3042\x3043")}, "\x82\xC2\x82\xC3|"},
      {"one byte short of the width", "%5ls|", {Wide(L"\x3042\x3043")}, " \x82\xC2\x82\xC3|"},
      {"characters", "%lc|%3C|%-3lc|", {I32(0x3042), I32(0x3043), I32('x')}, "\x82\xC2| \x82\xC3|x  |"},
      {"unconvertible", "%ls", {Wide(L"\x4e00")}, "?"},
      {"empty", "[%5ls]", {Wide(L"")}, "[     ]"},
  };
  for (const NarrowCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto result = Format<char>(c.format, c.arguments);
    EXPECT_EQ(result.first, c.expected);
    EXPECT_FALSE(result.second.overflowed);
  }
}

struct WideCase {
  const char* name;
  std::wstring format;
  std::vector<Value> arguments;
  std::wstring expected;
};

TEST(ConvertedInWideText, NarrowStringsAndCharactersGoThroughTheCodePage) {
  const std::vector<WideCase> cases = {
      {"h string", L"%hs", {NStr("a\x82\xC2z")}, L"a\x3042z"},
      {"upper S", L"[%S]", {NStr("\x82\xC2\x82\xC3")}, L"[\x3042\x3043]"},
      {"precision counts wide characters", L"%.2hs|", {NStr("\x82\xC2\x82\xC3x")}, L"\x3042\x3043|"},
      {"width counts wide characters", L"%4hs|%-3S|", {NStr("\x82\xC2"), NStr("b")}, L"   \x3042|b  |"},
      {"characters", L"%C|%hc|%3hc|", {I32('A'), I32(0x82), I32('z')}, L"A|?|  z|"},
      {"own width stays", L"%s|%c", {Str("own"), I32(0x3042)}, L"own|\x3042"},
  };
  for (const WideCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto result = Format<wchar_t>(c.format, c.arguments);
    EXPECT_EQ(result.first, c.expected);
    EXPECT_FALSE(result.second.overflowed);
  }
}

// Each capacity keeps a prefix of the whole text that ends on a character boundary, leaves at
// most one unit of room unused (the first byte of a double-byte character that did not fit), and
// reports an overflow exactly when the whole text does not fit.
TEST(ConvertedInNarrowText, EveryCapacityCutsOnACharacterBoundary) {
  const std::vector<std::pair<std::string, std::vector<Value>>> cases = {
      {"ab%ls|", {Wide(L"\x3042\x3043x\x3044")}},
      {"%9ls|", {Wide(L"\x3042\x3043")}},
      {"%-9ls|", {Wide(L"\x3042\x3043")}},
      {"a%.5ls|", {Wide(L"\x3042\x3043\x3044")}},
  };
  for (const auto& [format, values] : cases) {
    SCOPED_TRACE(format);
    const auto whole = Format<char>(format, values);
    ASSERT_FALSE(whole.second.overflowed);
    const std::uint32_t wholeLength = whole.second.length;
    for (std::uint32_t capacity = 1; capacity <= wholeLength + 2; ++capacity) {
      SCOPED_TRACE(capacity);
      const auto cut = Format<char>(format, values, capacity);
      EXPECT_EQ(cut.second.overflowed, wholeLength >= capacity);
      EXPECT_EQ(cut.first, whole.first.substr(0, cut.second.length));
      if (!cut.second.overflowed) {
        EXPECT_EQ(cut.second.length, wholeLength);
        continue;
      }
      EXPECT_GE(cut.second.length + 2, capacity);
      // A cut at a lead byte 0x82 whose trail byte is missing would leave half a character.
      std::size_t i = 0;
      while (i < cut.first.size()) i += cut.first[i] == '\x82' ? 2 : 1;
      EXPECT_EQ(i, cut.first.size()) << "the text ends in half a character";
    }
  }
}

TEST(ConvertedInNarrowText, APrecisionThatStopsBeforeTheRoomIsNoOverflow) {
  // Three bytes of precision hold one double-byte character; the capacity leaves room for two
  // bytes: the text is whole.
  const auto result = Format<char>("%.3ls", {Wide(L"\x3042\x3043")}, 3);
  EXPECT_EQ(result.first, "\x82\xC2");
  EXPECT_FALSE(result.second.overflowed);
}

TEST(ConvertedInWideText, CutKeepsAPrefixAndReportsOverflow) {
  const std::wstring format = L"<%hs>";
  const std::vector<Value> values = {NStr("\x82\xC2z\x82\xC3")};
  const auto whole = Format<wchar_t>(format, values);
  ASSERT_EQ(whole.first, L"<\x3042z\x3043>");
  for (std::uint32_t capacity = 1; capacity <= 7; ++capacity) {
    SCOPED_TRACE(capacity);
    const auto cut = Format<wchar_t>(format, values, capacity);
    const std::uint32_t kept = capacity - 1 < 5 ? capacity - 1 : 5;
    EXPECT_EQ(cut.first, whole.first.substr(0, kept));
    EXPECT_EQ(cut.second.overflowed, capacity <= 5);
  }
}

}  // namespace
}  // namespace tellit::testing
