// The formatter engine against its table of format cases, narrow and wide, and its cutting rules.
//
// The table pins what the DLL does: the 64-bit Windows data model (a 32-bit long, Windows-form
// pointers) and the C99 number forms of the C library the engine is built with.
#include "client/format_engine.h"

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_code_page.h"
#include "table_arguments.h"

namespace tellit::testing {
namespace {

enum class Runs { kBoth, kNarrowOnly, kWideOnly };

struct FormatCase {
  const char* name;
  std::string format;
  std::vector<Value> arguments;
  std::string expected;
  Runs runs = Runs::kBoth;
  std::size_t unusedArguments = 0;  // values the caller passed that the format never takes
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

const std::string kDirectiveOf63 = "%" + std::string(60, '-') + "5d";  // 63 characters with its 'd'
const std::string kDirectiveOf64 = "%" + std::string(61, '-') + "5d";

const std::vector<FormatCase>& Cases() {
  static const std::vector<FormatCase> cases = {
      {"EmptyFormat", "", {}, ""},
      {"PlainText", "hello, world\n", {}, "hello, world\n"},
      {"NumberAndLineFeed", "%d items\n", {I32(5)}, "5 items\n"},
      {"NegativeNumber", "%d", {I32(-2147483647 - 1)}, "-2147483648"},
      {"PercentPercentIsOnePercent", "100%%", {}, "100%"},
      {"PercentPercentThenD", "%%d", {}, "%d"},
      {"PercentWithWidthIsOnePercent", "%5%|", {}, "%|"},
      {"UnsignedTakesItsArgument", "%u %d", {I32(1), I32(2)}, "1 2"},
      {"UnsignedAlone", "%u", {U32(4294967295u)}, "4294967295"},
      {"IntegerI", "%i|%5i", {I32(-7), I32(42)}, "-7|   42"},
      {"LongLongIs64Bit", "%lld", {I64(1LL << 40)}, "1099511627776"},
      {"LongLongNegative", "%lld", {I64(-(1LL << 40))}, "-1099511627776"},
      {"LongLongHex", "%llx", {I64(0x123456789abcLL)}, "123456789abc"},
      {"LongLongUnsigned", "%llu", {U64(18446744073709551615ull)}, "18446744073709551615"},
      {"ThreeEllsAre64Bit", "%llld", {I64(1LL << 33)}, "8589934592"},
      {"LongIs32Bit", "%ld %d", {I32(7), I32(8)}, "7 8"},
      {"LongHexIs32Bit", "%lx", {I32(-1)}, "ffffffff"},
      {"ShortEllsSplitByWidth", "%l5ld", {I32(3)}, "%l5ld"},
      // Written out as it stands, but the two ells before the d still make its argument 64-bit.
      {"MalformedWithEllEllTakes64Bit", "%l5lld|%d", {I64(1LL << 40), I32(4)}, "%l5lld|4"},
      {"MalformedWithEllEllHexTakes64Bit", "%-l-llx|%s", {I64(-1), Str("y")}, "%-l-llx|y"},
      {"ShortNarrowsItsValue", "%hd %hu %hx", {I32(70000), I32(-1), I32(0x12345)}, "4464 65535 2345"},
      {"CharNarrowsItsValue", "%hhd %hhu %hhx", {I32(257), I32(-1), I32(0x1ff)}, "1 255 ff"},
      {"HAfterPercentIsShort", "%hd %d", {I32(3), I32(4)}, "3 4"},
      {"FixedWidthPrecision", "%5.1f", {F64(3.14159)}, "  3.1"},
      {"ZeroPaddedFixed", "%08.3f", {F64(-3.14159)}, "-003.142"},
      {"FixedDefault", "%f", {F64(0.5)}, "0.500000"},
      {"EllOnRealIsDouble", "%lf", {F64(0.25)}, "0.250000"},
      {"LongDoubleTakesALongDouble", "%Lf|%Le|%d", {LD(2.5), LD(-0.125), I32(3)}, "2.500000|-1.250000e-01|3"},
      {"Exponent", "%e|%E|%.2e", {F64(12345.678), F64(1e10), F64(0.0)}, "1.234568e+04|1.000000E+10|0.00e+00"},
      {"General", "%g|%G|%g|%#g", {F64(100000), F64(1e-10), F64(123456789), F64(1.0)},
       "100000|1E-10|1.23457e+08|1.00000"},
      {"FixedUpper", "%F|%F", {F64(1.5), F64(1.0 / 0.0)}, "1.500000|INF"},
      {"HexReal", "%a|%A|%.1a", {F64(1.0), F64(-0.5), F64(1.75)}, "0x1p+0|-0X1P-1|0x1.cp+0"},
      {"SignAndSpaceFlags", "%+d|% d|%+.1f|% .1e", {I32(5), I32(6), F64(1.5), F64(2.0)}, "+5| 6|+1.5| 2.0e+00"},
      {"SignAndSpaceFlagsOfUnsignedConversionsPrintNothing", "% u|%+u|% x|%+X|% o|% 6u|%+-5u|",
       {U32(1024), U32(7), U32(255), U32(255), U32(8), U32(42), U32(3)}, "1024|7|ff|FF|10|    42|3    |"},
      {"LeftJustified", "%-4d|", {I32(7)}, "7   |"},
      {"HexOctal", "%x %X %o", {I32(255), I32(255), I32(8)}, "ff FF 10"},
      {"AlternateHex", "%#x|%#X|%#o", {I32(255), I32(255), I32(8)}, "0xff|0XFF|010"},
      {"ZeroPadNumber", "%05d", {I32(-42)}, "-0042"},
      {"PrecisionOnIntegers", "%.3d|%.0d|%5.2x", {I32(7), I32(0), I32(10)}, "007||   0a"},
      {"StarWidth", "%*d|", {Star(5), I32(42)}, "   42|"},
      {"NegativeStarWidthLeftJustifies", "%*d|", {Star(-5), I32(42)}, "42   |"},
      {"StarPrecision", "%.*f", {Star(2), F64(3.14159)}, "3.14"},
      {"NegativeStarPrecisionIsNone", "%.*f|%.*s", {Star(-1), F64(1.5), Star(-3), Str("abcd")}, "1.500000|abcd"},
      {"StarWidthAndPrecisionInOrder", "%*.*s|", {Star(6), Star(2), Str("abcdef")}, "    ab|"},
      {"StarOnStringLeftJustified", "%-*s|", {Star(4), Str("ab")}, "ab  |"},
      {"HugeStarWidthIsLiteral", "%*d|%d", {Star(1000000), I32(1), I32(2)}, "%*d|2"},
      {"MinimumIntStarWidthIsLiteral", "%*d|%d", {Star(-2147483647 - 1), I32(1), I32(2)}, "%*d|2"},
      {"HugeStarPrecisionIsLiteral", "%.*d|%d", {Star(1000000), I32(1), I32(2)}, "%.*d|2"},
      {"CharacterZeroAddsNothing", "a%cb", {I32(0)}, "ab"},
      {"CharacterZeroKeepsPadding", "%5c|", {I32(0)}, "    |"},
      {"CharacterZeroLeftDropsPadding", "%-5c|", {I32(0)}, "|"},
      {"CharacterWidth", "%3c|%-3c|", {I32('a'), I32('b')}, "  a|b  |"},
      {"CharacterLowByte", "%c", {I32(0x141)}, "A", Runs::kNarrowOnly},
      {"CharacterLow16Bits", "%c", {I32(0x10041)}, "A", Runs::kWideOnly},
      {"CharacterEllIsStillCharacter", "%lc", {I32('z')}, "z"},
      {"CharacterOfEitherWidth", "%C|%hc|%lc|%3C|%-3hc|", {I32('a'), I32('b'), I32('c'), I32('d'), I32('e')},
       "a|b|c|  d|e  |"},
      {"TrailingPercentDropped", "abc%", {}, "abc"},
      {"TrailingWidthDropped", "abc%5", {}, "abc"},
      {"TrailingEllDropped", "x%-0.3l", {}, "x"},
      {"String", "[%s]", {Str("text")}, "[text]"},
      {"StringWidth", "%6s|%-6s|", {Str("ab"), Str("cd")}, "    ab|cd    |"},
      {"StringPrecision", "%.2s", {Str("abc")}, "ab"},
      {"StringZeroFlagPadsWithSpaces", "%05s", {Str("ab")}, "   ab"},
      {"NullString", "%s!", {Str(nullptr)}, "(null)!"},
      {"NullStringPrecision", "%.3s", {Str(nullptr)}, "(nu"},
      {"NullStringWidth", "%8s", {Str(nullptr)}, "  (null)"},
      {"EllStringIsWide", "%ls", {WStr("wide")}, "wide"},
      {"NullWideString", "%ls", {WStr(nullptr)}, "(null)"},
      {"HStringIsNarrow", "%hs|%-7hs|", {NStr("narrow"), NStr("n")}, "narrow|n      |"},
      {"UpperSTakesTheOtherWidth", "%S|%5S|%.2S", {Other("x"), Other("y"), Other("abc")}, "x|    y|ab"},
      {"NullStringOfTheOtherWidth", "%S", {Other(nullptr)}, "(null)"},
      {"SpaceFlagMakesAStringDirective", "100% sure", {Str("!")}, "100!ure"},
      {"OtherConversionsTakeTheirArguments", "%i %e %g %p %n %S %C",
       {I32(1), F64(1.5), F64(0.0001), Ptr(0x1234), CountPtr(), Other("w"), I32('c')},
       "1 1.500000e+00 0.0001 0000000000001234 %n w c"},
      {"PlusSpaceStarTakeTheirArguments", "%+d % d %*d", {I32(5), I32(6), Star(4), I32(7)}, "+5  6    7"},
      {"UnrecognisedKeepsArgumentOrder", "%i%d%e%s", {I32(4), I32(5), F64(2.0), Str("x")}, "452.000000e+00x"},
      {"UnknownLetterTakesNothing", "%y %5k %*q %-+ #0.3w|%d", {I32(9)}, "%y %5k %*q %-+ #0.3w|9"},
      {"CountTakesItsPointerAndComesOutAsWritten", "a%nb%5hnc%lln%d", {CountPtr(), CountPtr(), CountPtr(), I32(5)},
       "a%nb%5hnc%lln5"},
      {"PointerWindowsForm", "%p|%-18p|%18p|", {Ptr(0xBEEF), Ptr(0x12), Ptr(0)},
       "000000000000BEEF|0000000000000012  |  0000000000000000|"},
      {"SizesOfWindows64", "%zu %zd %td %jd %I64d %I32d %Id %Iu", {U64(5), I64(-5), I64(-6), I64(7), I64(8), I32(9),
       I64(-10), U64(11)}, "5 -5 -6 7 8 9 -10 11"},
      {"LongLongMaximaWithSizes", "%zx|%I64X|%jd", {U64(0xFFFFFFFFFFFFFFFFull), U64(0x8000000000000000ull),
       I64(-9223372036854775807LL - 1)}, "ffffffffffffffff|8000000000000000|-9223372036854775808"},
      {"MalformedIsLiteralButTakesItsArgument", "%5-3d %d", {I32(9), I32(10)}, "%5-3d 10"},
      {"MalformedTakesItsStarsAndItsValue", "%*-d|%d", {Star(3), I32(9), I32(10)}, "%*-d|10"},
      {"DoublePrecisionIsLiteral", "%1.2.3f|%d", {F64(1.0), I32(2)}, "%1.2.3f|2"},
      {"HugeWidthIsLiteral", "%1000000d|%d", {I32(1), I32(2)}, "%1000000d|2"},
      {"DirectiveOf63Characters", kDirectiveOf63 + "|", {I32(7)}, "7    |"},
      {"DirectiveOf64CharactersLiteral", kDirectiveOf64 + "|%d", {I32(1)}, kDirectiveOf64 + "|1"},
      {"LongDirectiveThenConversion", "%" + std::string(80, '1') + "d%s", {Str("z")},
       "%" + std::string(80, '1') + "dz"},
      {"HighBytesPassUnchanged", "\x93\xfa\x96\x7b%d", {I32(1)}, "\x93\xfa\x96\x7b" "1", Runs::kNarrowOnly},
  };
  return cases;
}

template <typename Char>
std::basic_string<Char> Widen(const std::string& s) {
  std::basic_string<Char> out;
  for (unsigned char c : s) out.push_back(static_cast<Char>(c));
  return out;
}

template <typename Char>
void RunCase(const FormatCase& c) {
  const std::basic_string<Char> format = Widen<Char>(c.format);
  TableArguments<Char> arguments(c.arguments);
  FakeCodePage codePage;
  constexpr std::uint32_t kCapacity = 4096;
  auto buffer = std::make_unique<Char[]>(kCapacity);
  const FormatOutcome outcome =
      FormatText(format.c_str(), buffer.get(), kCapacity, arguments, codePage, kWindows64Model);
  EXPECT_EQ(std::basic_string<Char>(buffer.get()), Widen<Char>(c.expected));
  EXPECT_EQ(outcome.length, c.expected.size());
  EXPECT_FALSE(outcome.overflowed);
  EXPECT_EQ(arguments.consumed(), c.arguments.size() - c.unusedArguments);
}

std::vector<FormatCase> CasesExcept(Runs excluded) {
  std::vector<FormatCase> selected;
  for (const FormatCase& c : Cases()) {
    if (c.runs != excluded) selected.push_back(c);
  }
  return selected;
}

class NarrowFormatCases : public ::testing::TestWithParam<FormatCase> {};
class WideFormatCases : public ::testing::TestWithParam<FormatCase> {};

TEST_P(NarrowFormatCases, ProducesExpectedText) { RunCase<char>(GetParam()); }
TEST_P(WideFormatCases, ProducesExpectedText) { RunCase<wchar_t>(GetParam()); }

std::string CaseName(const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Table, NarrowFormatCases, ::testing::ValuesIn(CasesExcept(Runs::kWideOnly)), CaseName);
INSTANTIATE_TEST_SUITE_P(Table, WideFormatCases, ::testing::ValuesIn(CasesExcept(Runs::kNarrowOnly)), CaseName);

// Formats into an exact-size heap buffer (the sanitizer sees any write past it).
template <typename Char>
std::pair<std::basic_string<Char>, FormatOutcome> FormatWithCapacity(const std::string& format,
                                                                      const std::vector<Value>& values,
                                                                      std::uint32_t capacity) {
  const std::basic_string<Char> wideFormat = Widen<Char>(format);
  TableArguments<Char> arguments(values);
  FakeCodePage codePage;
  auto buffer = std::make_unique<Char[]>(capacity);
  const FormatOutcome outcome =
      FormatText(wideFormat.c_str(), buffer.get(), capacity, arguments, codePage, kWindows64Model);
  return {std::basic_string<Char>(buffer.get()), outcome};
}

struct CutCase {
  const char* name;
  std::string format;
  std::vector<Value> arguments;
};

template <typename Char>
class CutRule : public ::testing::Test {};
using CharacterTypes = ::testing::Types<char, wchar_t>;
TYPED_TEST_SUITE(CutRule, CharacterTypes);

// Every capacity, from 1 to beyond the whole text, keeps a prefix of the whole text and reports
// an overflow exactly when the text and its NUL do not fit.
TYPED_TEST(CutRule, EveryCapacityKeepsPrefixAndReportsOverflowExactly) {
  using Char = TypeParam;
  const std::vector<CutCase> cases = {
      {"literals", "abcdefghij", {}},
      {"number", "ab%5dcd", {I32(-123)}},
      {"string", "<%s>", {Str("some text here")}},
      {"padded string", "%-12s|", {Str("left")}},
      {"null string", "%s%s", {Str(nullptr), Str("x")}},
      {"fixed", "%10.4f;", {F64(-2.5)}},
      {"64-bit", "%llx-%llo", {I64(-1), I64(1LL << 40)}},
      {"character zero padded", "x%6cy", {I32(0)}},
      {"character zero left", "x%-6cy", {I32(0)}},
      {"literal directive", "%u%5-3d%%", {I32(1), I32(2)}},
      {"stars", "%*.*f|%-*d|", {Star(12), Star(3), F64(2.25), Star(-6), I32(5)}},
      {"exponent and hexadecimal real", "%e %a", {F64(-1234.5), F64(0.1)}},
      {"pointer", "%p %20p", {Ptr(0xABCDEF), Ptr(1)}},
      {"string of the other width", "<%S|%8ls>", {Other("converted"), WStr("wide")}},
      {"character of the other width", "%5C%-4C|", {I32('a'), I32('b')}},
      {"unknown conversion", "%y%5k%d", {I32(77)}},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto whole = FormatWithCapacity<Char>(c.format, c.arguments, 1000);
    ASSERT_FALSE(whole.second.overflowed);
    const std::uint32_t wholeLength = whole.second.length;
    for (std::uint32_t capacity = 1; capacity <= wholeLength + 3; ++capacity) {
      SCOPED_TRACE(capacity);
      const auto cut = FormatWithCapacity<Char>(c.format, c.arguments, capacity);
      const std::uint32_t kept = wholeLength < capacity ? wholeLength : capacity - 1;
      EXPECT_EQ(cut.first, whole.first.substr(0, kept));
      EXPECT_EQ(cut.second.length, kept);
      EXPECT_EQ(cut.second.overflowed, wholeLength >= capacity);
    }
  }
}

TYPED_TEST(CutRule, TextOfCapacityMinusOneFitsAndOneMoreOverflows) {
  using Char = TypeParam;
  const auto fits = FormatWithCapacity<Char>("%4095s", {Str("x")}, 4096);
  EXPECT_EQ(fits.second.length, 4095u);
  EXPECT_FALSE(fits.second.overflowed);
  const auto over = FormatWithCapacity<Char>("%4096s", {Str("x")}, 4096);
  EXPECT_EQ(over.second.length, 4095u);
  EXPECT_TRUE(over.second.overflowed);
  EXPECT_EQ(over.first, std::basic_string<Char>(4095, static_cast<Char>(' ')));

  const auto literalFits = FormatWithCapacity<Char>(std::string(4095, 'a'), {}, 4096);
  EXPECT_FALSE(literalFits.second.overflowed);
  const auto literalOver = FormatWithCapacity<Char>(std::string(4096, 'a'), {}, 4096);
  EXPECT_TRUE(literalOver.second.overflowed);
  EXPECT_EQ(literalOver.second.length, 4095u);
}

TYPED_TEST(CutRule, FormattingStopsAtTheCutAndTakesNoFurtherArgument) {
  using Char = TypeParam;
  // If the formatter went on after the cut it would ask for the second number.
  const std::basic_string<Char> format = Widen<Char>("%s%d");
  TableArguments<Char> arguments({Str("abcdefgh")});
  FakeCodePage codePage;
  auto buffer = std::make_unique<Char[]>(4);
  const FormatOutcome outcome = FormatText(format.c_str(), buffer.get(), 4, arguments, codePage);
  EXPECT_TRUE(outcome.overflowed);
  EXPECT_EQ(std::basic_string<Char>(buffer.get()), Widen<Char>("abc"));
  EXPECT_EQ(arguments.consumed(), 1u);
}

}  // namespace
}  // namespace tellit::testing
