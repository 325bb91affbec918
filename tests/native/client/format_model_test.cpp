// The sizes the data model decides: %l, %z, %t, %j, %I and %p under 32-bit and 64-bit Windows and an LP64 platform.
#include "client/format_engine.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_code_page.h"
#include "table_arguments.h"

namespace tellit::testing {
namespace {

constexpr DataModel kLp64Model{8, 8, 8, PointerForm::kCLibrary};

struct ModelCase {
  const char* name;
  const DataModel& model;
  std::string format;
  std::vector<Value> arguments;  // of the sizes the model gives each directive
  std::string expected;
};

void PrintTo(const ModelCase& c, std::ostream* os) { *os << c.name; }

const std::vector<ModelCase>& Cases() {
  static const std::vector<ModelCase> cases = {
      {"Windows32SizesAre32Bit", kWindows32Model, "%zu|%zd|%td|%Id|%Ix|%ld|%lu",
       {U32(5), I32(-5), I32(-6), I32(-7), U32(0xFFFFFFFFu), I32(-1), U32(4000000000u)},
       "5|-5|-6|-7|ffffffff|-1|4000000000"},
      {"Windows32Keeps64BitModifiers", kWindows32Model, "%lld|%jd|%I64u|%llx|%d",
       {I64(1LL << 40), I64(-1), U64(1ULL << 33), U64(0xFFFFFFFFFFFFFFFFull), I32(7)},
       "1099511627776|-1|8589934592|ffffffffffffffff|7"},
      {"Windows32PointerHasEightDigits", kWindows32Model, "%p|%12p|%-12p|", {Ptr(0xBEEF), Ptr(0x12345678), Ptr(1)},
       "0000BEEF|    12345678|00000001    |"},
      {"Windows32MixedSizesKeepTheirPlaces", kWindows32Model, "%zu %lld %p %Iu %s",
       {U32(1), I64(2), Ptr(0x3), U32(4), Str("five")}, "1 2 00000003 4 five"},
      {"Windows64SizesArePointerSized", kWindows64Model, "%zu|%td|%Id|%ld|%I32d",
       {U64(1ULL << 40), I64(-6), I64(-7), I32(-1), I32(-8)}, "1099511627776|-6|-7|-1|-8"},
      {"Windows64PointerHasSixteenDigits", kWindows64Model, "%p", {Ptr(0xBEEF)}, "000000000000BEEF"},
      {"Lp64LongIs64Bit", kLp64Model, "%ld|%lu|%zu|%d", {I64(1LL << 40), U64(1ULL << 63), U64(3), I32(4)},
       "1099511627776|9223372036854775808|3|4"},
      {"Lp64PointerAsTheCLibraryPrintsIt", kLp64Model, "%p", {Ptr(0xbeef)}, "0xbeef"},
  };
  return cases;
}

template <typename Char>
void RunCase(const ModelCase& c) {
  const std::basic_string<Char> format(c.format.begin(), c.format.end());
  TableArguments<Char> arguments(c.arguments);
  FakeCodePage codePage;
  constexpr std::uint32_t kCapacity = 512;
  auto buffer = std::make_unique<Char[]>(kCapacity);
  const FormatOutcome outcome = FormatText(format.c_str(), buffer.get(), kCapacity, arguments, codePage, c.model);
  EXPECT_EQ(std::basic_string<Char>(buffer.get()), std::basic_string<Char>(c.expected.begin(), c.expected.end()));
  EXPECT_EQ(outcome.length, c.expected.size());
  EXPECT_EQ(arguments.consumed(), c.arguments.size());
}

class DataModels : public ::testing::TestWithParam<ModelCase> {};

TEST_P(DataModels, NarrowText) { RunCase<char>(GetParam()); }
TEST_P(DataModels, WideText) { RunCase<wchar_t>(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Table, DataModels, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<ModelCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tellit::testing
