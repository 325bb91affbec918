// The engine against the C library's own snprintf, directive by directive, with the same typed arguments.
#include "client/format_engine.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_code_page.h"
#include "table_arguments.h"

namespace tellit::testing {
namespace {

struct ReferenceCase {
  std::string format;
  std::vector<Value> values;  // what the engine is handed
  std::string reference;      // what snprintf made of the same directive and C arguments
};

template <typename... T>
ReferenceCase Ref(const char* format, std::vector<Value> values, T... arguments) {
  char text[512];
  std::snprintf(text, sizeof text, format, arguments...);
  return {format, std::move(values), text};
}

// A long on this platform, as the engine asks for it.
Value Long(long v) { return sizeof(long) == 8 ? I64(v) : I32(static_cast<std::int32_t>(v)); }
Value Size(std::size_t v) { return sizeof(std::size_t) == 8 ? U64(v) : U32(static_cast<std::uint32_t>(v)); }

const std::vector<ReferenceCase>& Cases() {
  static const std::vector<ReferenceCase> cases = {
      Ref("%d|%i|%5d|%-5d|%05d", {I32(-5), I32(6), I32(7), I32(8), I32(-9)}, -5, 6, 7, 8, -9),
      Ref("%+d|% d|%+ d|%.3d|%.0d|%8.4d", {I32(5), I32(6), I32(7), I32(8), I32(0), I32(-9)}, 5, 6, 7, 8, 0, -9),
      Ref("%u|%o|%#o|%x|%#X|%#.0o|%#x", {U32(4294967295u), I32(8), I32(8), I32(255), I32(255), I32(0), I32(0)},
          4294967295u, 8, 8, 255, 255, 0, 0),
      Ref("%hd|%hu|%hhd|%hhu|%hx", {I32(70000), I32(-1), I32(200), I32(-1), I32(0x12345)}, 70000, -1, 200, -1,
          0x12345),
      Ref("%lld|%llu|%llx|%#llo", {I64(-(1LL << 50)), U64(~0ULL), U64(0xABCDEF0123ULL), U64(8)}, -(1LL << 50), ~0ULL,
          0xABCDEF0123ULL, 8ULL),
      Ref("%ld|%lx", {Long(-123456), Long(0xFEED)}, -123456L, 0xFEEDL),
      Ref("%zu|%zx|%td|%jd|%ju", {Size(12345), Size(0xFFFF), I64(-77), I64(-(1LL << 62)), U64(1ULL << 63)},
          std::size_t{12345}, std::size_t{0xFFFF}, std::ptrdiff_t{-77}, std::intmax_t{-(1LL << 62)},
          std::uintmax_t{1ULL << 63}),
      Ref("%f|%.2f|%10.3f|%-10.1f|%+f|%08.2f", {F64(3.14159), F64(2.675), F64(-1.5), F64(2.25), F64(1.0),
          F64(-3.5)}, 3.14159, 2.675, -1.5, 2.25, 1.0, -3.5),
      Ref("%.0f|%.0f|%.0f|%#.0f|%.20f", {F64(0.5), F64(1.5), F64(2.5), F64(3.0), F64(0.1)}, 0.5, 1.5, 2.5, 3.0, 0.1),
      Ref("%e|%E|%.0e|%#.0e|%12.3e|%e", {F64(12345.678), F64(1e-300), F64(2.5), F64(3.0), F64(-6.02e23), F64(0.0)},
          12345.678, 1e-300, 2.5, 3.0, -6.02e23, 0.0),
      Ref("%g|%G|%g|%.3g|%#g|%g|%g", {F64(100000), F64(1e-10), F64(123456789), F64(0.0001234), F64(1.0),
          F64(1e6), F64(0.00001)}, 100000.0, 1e-10, 123456789.0, 0.0001234, 1.0, 1e6, 0.00001),
      Ref("%a|%A|%.3a|%a|%a", {F64(1.0), F64(-0.5), F64(1.0 / 3), F64(0.1), F64(0.0)}, 1.0, -0.5, 1.0 / 3, 0.1, 0.0),
      Ref("%f|%F|%e|%g|%5.1f", {F64(1.0 / 0.0), F64(-1.0 / 0.0), F64(1.0 / 0.0), F64(-1.0 / 0.0), F64(1.0 / 0.0)},
          1.0 / 0.0, -1.0 / 0.0, 1.0 / 0.0, -1.0 / 0.0, 1.0 / 0.0),
      Ref("%Lf|%.3Le|%Lg", {LD(2.5), LD(-1234.5), LD(0.125)}, 2.5L, -1234.5L, 0.125L),
      Ref("%*d|%-*d|%*d|%.*f|%.*f|%*.*e", {Star(6), I32(1), Star(6), I32(2), Star(-6), I32(3), Star(2), F64(1.0),
          Star(-2), F64(1.0), Star(12), Star(2), F64(5.0)}, 6, 1, 6, 2, -6, 3, 2, 1.0, -2, 1.0, 12, 2, 5.0),
      Ref("%s|%8s|%-8s|%.2s|%8.3s|%%", {Str("abc"), Str("abc"), Str("abc"), Str("abc"), Str("abcdef")}, "abc", "abc",
          "abc", "abc", "abcdef"),
      Ref("%c|%3c|%-3c|", {I32('x'), I32('y'), I32('z')}, 'x', 'y', 'z'),
      Ref("%p|%p|%20p|%-20p|", {Ptr(0x1234), Ptr(0), Ptr(0xABC), Ptr(0xDEF)}, reinterpret_cast<void*>(0x1234),
          static_cast<void*>(nullptr), reinterpret_cast<void*>(0xABC), reinterpret_cast<void*>(0xDEF)),
  };
  return cases;
}

template <typename Char>
std::basic_string<Char> FormatWithEngine(const ReferenceCase& c) {
  const std::basic_string<Char> format(c.format.begin(), c.format.end());
  TableArguments<Char> arguments(c.values);
  FakeCodePage codePage;
  constexpr std::uint32_t kCapacity = 1024;
  auto buffer = std::make_unique<Char[]>(kCapacity);
  const FormatOutcome outcome = FormatText(format.c_str(), buffer.get(), kCapacity, arguments, codePage);
  EXPECT_FALSE(outcome.overflowed);
  EXPECT_EQ(arguments.consumed(), c.values.size());
  return std::basic_string<Char>(buffer.get(), outcome.length);
}

TEST(CLibraryReference, NarrowTextMatchesSnprintf) {
  for (const ReferenceCase& c : Cases()) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(FormatWithEngine<char>(c), c.reference);
  }
}

TEST(CLibraryReference, WideTextMatchesSnprintfWidened) {
  for (const ReferenceCase& c : Cases()) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(FormatWithEngine<wchar_t>(c), std::wstring(c.reference.begin(), c.reference.end()));
  }
}

}  // namespace
}  // namespace tellit::testing
