// The formatter engine against its table of format cases, narrow and wide, and its cutting rules.
#include "client/format_engine.h"

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

const std::string kSpec63 = "%" + std::string(60, '-') + "5d";  // 63 characters with its 'd'
const std::string kSpec64 = "%" + std::string(61, '-') + "5d";

const std::vector<FormatCase>& Cases() {
  static const std::vector<FormatCase> cases = {
      {"EmptyFormat", "", {}, ""},
      {"PlainText", "hello, world\n", {}, "hello, world\n"},
      {"NumberAndLineFeed", "%d items\n", {I32(5)}, "5 items\n"},
      {"NegativeNumber", "%d", {I32(-2147483647 - 1)}, "-2147483648"},
      {"TwoPercentSignsStayTwo", "100%%", {}, "100%%"},
      {"PercentPercentThenD", "%%d", {}, "%%d"},
      {"UnsignedTakesNoArgument", "%u %d", {I32(1), I32(2)}, "%u 1", Runs::kBoth, 1},
      {"UnsignedAlone", "%u", {}, "%u"},
      {"LongLongIs64Bit", "%lld", {I64(1LL << 40)}, "1099511627776"},
      {"LongLongNegative", "%lld", {I64(-(1LL << 40))}, "-1099511627776"},
      {"LongLongHex", "%llx", {I64(0x123456789abcLL)}, "123456789abc"},
      {"ThreeEllsAre64Bit", "%llld", {I64(1LL << 33)}, "8589934592"},
      {"LongIs32Bit", "%ld %d", {I32(7), I32(8)}, "7 8"},
      {"LongHexIs32Bit", "%lx", {I32(-1)}, "ffffffff"},
      {"ShortEllsSplitByWidth", "%l5ld", {I32(3)}, "%l5ld"},
      // Written out as it stands, but the two ells before the d still make its argument 64-bit.
      {"MalformedWithEllEllTakes64Bit", "%l5lld|%d", {I64(1LL << 40), I32(4)}, "%l5lld|4"},
      {"MalformedWithEllEllHexTakes64Bit", "%-l-llx|%s", {I64(-1), Str("y")}, "%-l-llx|y"},
      {"FixedWidthPrecision", "%5.1f", {F64(3.14159)}, "  3.1"},
      {"ZeroPaddedFixed", "%08.3f", {F64(-3.14159)}, "-003.142"},
      {"FixedDefault", "%f", {F64(0.5)}, "0.500000"},
      {"LeftJustified", "%-4d|", {I32(7)}, "7   |"},
      {"HexOctal", "%x %X %o", {I32(255), I32(255), I32(8)}, "ff FF 10"},
      {"AlternateHex", "%#x", {I32(255)}, "0xff"},
      {"ZeroPadNumber", "%05d", {I32(-42)}, "-0042"},
      {"CharacterZeroAddsNothing", "a%cb", {I32(0)}, "ab"},
      {"CharacterZeroKeepsPadding", "%5c|", {I32(0)}, "    |"},
      {"CharacterZeroLeftDropsPadding", "%-5c|", {I32(0)}, "|"},
      {"CharacterLowByte", "%c", {I32(0x141)}, "A", Runs::kNarrowOnly},
      {"CharacterLow16Bits", "%c", {I32(0x10041)}, "A", Runs::kWideOnly},
      {"CharacterEllIsStillCharacter", "%lc", {I32('z')}, "z"},
      {"TrailingPercentDropped", "abc%", {}, "abc"},
      {"TrailingWidthDropped", "abc%5", {}, "abc"},
      {"TrailingEllDropped", "x%-0.3l", {}, "x"},
      {"String", "[%s]", {Str("text")}, "[text]"},
      {"StringWidth", "%6s|%-6s|", {Str("ab"), Str("cd")}, "    ab|cd    |"},
      {"StringPrecision", "%.2s", {Str("abc")}, "ab"},
      {"NullString", "%s!", {Str(nullptr)}, "(null)!"},
      {"NullStringPrecision", "%.3s", {Str(nullptr)}, "(nu"},
      {"NullStringWidth", "%8s", {Str(nullptr)}, "  (null)"},
      {"EllStringIsWide", "%ls", {WStr("wide")}, "wide"},
      {"NullWideString", "%ls", {WStr(nullptr)}, "(null)"},
      {"HAfterPercentIsLiteral", "%hd %d", {I32(3)}, "%hd 3"},
      {"OtherConversionsLiteral", "%i %e %g %p %n %S %C", {}, "%i %e %g %p %n %S %C"},
      {"PlusSpaceStarLiteral", "%+d % d %*d", {}, "%+d % d %*d"},
      {"UnrecognisedKeepsArgumentOrder", "%i%d%e%s", {I32(4), Str("x")}, "%i4%ex"},
      {"MalformedIsLiteralButTakesItsArgument", "%5-3d %d", {I32(9), I32(10)}, "%5-3d 10"},
      {"DoublePrecisionIsLiteral", "%1.2.3f|%d", {F64(1.0), I32(2)}, "%1.2.3f|2"},
      {"HugeWidthIsLiteral", "%1000000d|%d", {I32(1), I32(2)}, "%1000000d|2"},
      {"DirectiveOf63Characters", kSpec63 + "|", {I32(7)}, "7    |"},
      {"DirectiveOf64CharactersLiteral", kSpec64 + "|%d", {I32(1)}, kSpec64 + "|1"},
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
  constexpr std::uint32_t kCapacity = 4096;
  auto buffer = std::make_unique<Char[]>(kCapacity);
  const FormatOutcome outcome = FormatText(format.c_str(), buffer.get(), kCapacity, arguments);
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
  auto buffer = std::make_unique<Char[]>(capacity);
  const FormatOutcome outcome = FormatText(wideFormat.c_str(), buffer.get(), capacity, arguments);
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
      {"literal directive", "%u%5-3d%%", {I32(1)}},
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
  auto buffer = std::make_unique<Char[]>(4);
  const FormatOutcome outcome = FormatText(format.c_str(), buffer.get(), 4, arguments);
  EXPECT_TRUE(outcome.overflowed);
  EXPECT_EQ(std::basic_string<Char>(buffer.get()), Widen<Char>("abc"));
  EXPECT_EQ(arguments.consumed(), 1u);
}

}  // namespace
}  // namespace tellit::testing
