// tellitf and tellitwf directive by directive: every standard directive takes its argument and prints as the C runtime does.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "c_runtime_reference.h"
#include "loaded_tellit.h"
#include "test_mailslot.h"

namespace tellit::testing {
namespace {

class Directives : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(mailslot.valid()) << "could not create the monitor's mailslot, error " << GetLastError();
    ASSERT_TRUE(dll.loaded());
    ASSERT_TRUE(reference.loaded()) << "no ucrtbase.dll to compare with";
    ASSERT_EQ(dll.tellitf("connect\n"), 9);
    ASSERT_EQ(mailslot.Read(), Banner());
    ASSERT_TRUE(IsDatagram(mailslot.Read(), "connect\n"));
  }

  void ExpectSent(int sent, const std::string& expected) {
    EXPECT_EQ(sent, static_cast<int>(expected.size() + 1));
    EXPECT_TRUE(IsDatagram(mailslot.Read(), expected));
  }

  template <typename... T>
  void ExpectAsCRuntime(const char* format, T... arguments) {
    SCOPED_TRACE(format);
    ExpectSent(dll.tellitf(format, arguments...), reference.Format(format, arguments...));
  }

  // The reference's text is ASCII, which every ANSI code page keeps as it is.
  template <typename... T>
  void ExpectWideAsCRuntime(const wchar_t* format, T... arguments) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(format)));
    const std::wstring wide = reference.FormatWide(format, arguments...);
    ExpectSent(dll.tellitwf(format, arguments...), std::string(wide.begin(), wide.end()));
  }

  TestMailslot mailslot;
  LoadedTellit dll;
  CRuntimeReference reference;
};

void* Pointer(std::uintptr_t value) { return reinterpret_cast<void*>(value); }

TEST_F(Directives, NarrowFormatsPrintAsTheCRuntime) {
  // The first one read 3 as a string pointer and brought the calling program down.
  ExpectAsCRuntime("%u items in %s", 3u, "q");
  ExpectAsCRuntime("%d|%i|%5d|%-5d|%05d|%+d|% d", -5, 6, 7, 8, -9, 10, 11);
  ExpectAsCRuntime("%u|%o|%#o|%x|%#X|%.3d|%.0d|%8.4x", 4294967295u, 8, 8, 255, 255, 7, 0, 0xab);
  ExpectAsCRuntime("%hd|%hu|%hx|%ld|%lu|%lx", 70000, -1, 0x12345, -123456L, 4000000000UL, 0xFEEDL);
  ExpectAsCRuntime("%lld|%llu|%llx|%I64d|%I64u|%I32d|%I32x", -(1LL << 50), ~0ULL, 0xABCDEF0123ULL, -(1LL << 40),
                   1ULL << 63, -7, 0xFFFFFFFFu);
  ExpectAsCRuntime("%zu|%zx|%zd|%td|%jd|%ju|%Iu|%Id", ~std::size_t{0}, std::size_t{0xFFFF}, std::ptrdiff_t{-5},
                   std::ptrdiff_t{-77}, std::intmax_t{-(1LL << 62)}, std::uintmax_t{1ULL << 63},
                   std::size_t{12345}, std::ptrdiff_t{-9});
  ExpectAsCRuntime("%f|%.2f|%10.3f|%-10.1f|%+f|%08.2f|%F|%#.0f|%.20f", 3.14159, 2.675, -1.5, 2.26, 1.0, -3.5, 1.5,
                   3.0, 0.1);
  ExpectAsCRuntime("%e|%E|%.0e|%#.0e|%12.3e|%e|%e", 12345.678, 1e-300, 1.0, 3.0, -6.02e23, 0.0, 1e300);
  ExpectAsCRuntime("%g|%G|%g|%.3g|%#g|%g|%g|%g", 100000.0, 1e-10, 123456789.0, 0.0001234, 1.0, 1e6, 0.00001, 0.0);
  ExpectAsCRuntime("%f|%e|%g|%F|%E", 1.0 / 0.0, -1.0 / 0.0, 1.0 / 0.0, 1.0 / 0.0, -1.0 / 0.0);
  ExpectAsCRuntime("%*d|%-*d|%*d|%.*f|%*.*e|%-*s|", 6, 1, 6, 2, -6, 3, 2, 1.0, 12, 2, 5.0, 4, "ab");
  ExpectAsCRuntime("%s|%8s|%-8s|%.2s|%8.3s|%%", "abc", "abc", "abc", "abc", "abcdef");
  ExpectAsCRuntime("%s", static_cast<const char*>(nullptr));
  ExpectAsCRuntime("%c|%3c|%-3c|%hc|", 'x', 'y', 'z', 'h');
  ExpectAsCRuntime("%ls|%S|%5ls|%.2S|%lc|%C|%hs", L"wide", L"S", L"w", L"abc", L'w', L'C', "narrow");
  ExpectAsCRuntime("%p|%p|%20p|%-20p|", Pointer(0x1234), Pointer(0), Pointer(0xABC), Pointer(0xDEF));
}

TEST_F(Directives, WideFormatsPrintAsTheCRuntime) {
  ExpectWideAsCRuntime(L"%d|%u|%5.2f|%e|%x|%llx|%zu|%p", -5, 4000000000u, 3.14159, 1e10, 255, 1ULL << 40,
                       std::size_t{77}, Pointer(0xBEEF));
  ExpectWideAsCRuntime(L"%s|%hs|%S|%ls|%5s|%-5S|%.1hs", L"wide", "narrow", "S", L"l", L"w", "n", "abc");
  ExpectWideAsCRuntime(L"%c|%hc|%C|%lc|%3c|%%", L'w', 'n', 'C', L'l', L'x');
  ExpectWideAsCRuntime(L"%*d|%.*s", -4, 9, 2, L"abc");
}

// The C99 forms, followed where the Windows runtimes print otherwise: %a without trailing zeros,
// hh honoured, halves rounded to even, a negative '*' precision taken as none, and strings padded
// with spaces under the 0 flag.
TEST_F(Directives, C99FormsWhereTheWindowsRuntimesDiffer) {
  ExpectSent(dll.tellitf("%a|%A|%.1a|%a", 1.0, -0.5, 1.75, 0.1), "0x1p+0|-0X1P-1|0x1.cp+0|0x1.999999999999ap-4");
  ExpectSent(dll.tellitf("%hhd|%hhu|%hhx", 257, -1, 0x1ff), "1|255|ff");
  ExpectSent(dll.tellitf("%.0f|%.0f|%.0e|%.1f", 0.5, 2.5, 2.5, 2.25), "0|2|2e+00|2.2");
  ExpectSent(dll.tellitf("%.*f|%.*s", -2, 1.0, -1, "abc"), "1.000000|abc");  // a negative precision is none
  ExpectSent(dll.tellitf("%05s|%5%|", "ab"), "   ab|%|");
}

// MinGW's formatter, which the client calls, printed "% u" with a space; C and Windows' own
// printf give the sign flags to signed conversions only.
TEST_F(Directives, SignAndSpaceFlagsOfUnsignedConversionsPrintNothing) {
  const char* const format = "% u|%+u|% x|%+X|% o|% 6u|%+-5u|% llu|% zu|%+d|% d|";
  const char* const expected = "1024|7|ff|FF|10|    42|3    |5|6|+8| 9|";
  ExpectSent(dll.tellitf(format, 1024u, 7u, 255u, 255u, 8u, 42u, 3u, 5ULL, std::size_t{6}, 8, 9), expected);
  EXPECT_EQ(reference.Format(format, 1024u, 7u, 255u, 255u, 8u, 42u, 3u, 5ULL, std::size_t{6}, 8, 9), expected);
  ExpectSent(dll.tellitwf(L"% u|%+x|% d", 1024u, 255u, 4), "1024|ff| 4");
  // A malformed directive still comes out as written.
  ExpectSent(dll.tellitf("% y|%+ k|% u", 1u), "% y|%+ k|1");
}

TEST_F(Directives, LongDoubleIsPrintedAsADouble) {
  ExpectSent(dll.tellitf("%Lf|%.3Le|%Lg|%s", 2.5L, -1234.56L, 0.125L, "end"),
             reference.Format("%f|%.3e|%g|%s", 2.5, -1234.56, 0.125, "end"));
}

// Each directive is followed by a string: an argument read at the wrong size would shift the
// strings onto a number's bytes.
TEST_F(Directives, PointerSizedAnd64BitArgumentsKeepLaterArgumentsInPlace) {
  const std::string digits = sizeof(void*) == 8 ? "00000000" : "";
  ExpectSent(dll.tellitf("%zu %s %p %s %td %s %lld %s %I64x %s %jd %s %ld %s %Iu %s %c %s", ~std::size_t{0} / 3, "a",
                         Pointer(0xBEEF), "b", std::ptrdiff_t{-3}, "c", 1LL << 40, "d", 1ULL << 36, "e",
                         std::intmax_t{-5}, "f", -6L, "g", std::size_t{8}, "h", 'i', "j"),
             (sizeof(void*) == 8 ? "6148914691236517205" : "1431655765") + std::string(" a ") + digits +
                 "0000BEEF b -3 c 1099511627776 d 1000000000 e -5 f -6 g 8 h i j");
}

TEST_F(Directives, CountStoresNothingAndComesOutAsWritten) {
  int count = 7;
  short shortCount = 8;
  ExpectSent(dll.tellitf("a%nb%hn|%d", &count, &shortCount, 5), "a%nb%hn|5");
  EXPECT_EQ(count, 7);
  EXPECT_EQ(shortCount, 8);
}

TEST_F(Directives, ALetterThatIsNoConversionComesOutAsWrittenAndTakesNothing) {
  ExpectSent(dll.tellitf("%y|%5k|%-*w|%d", 9), "%y|%5k|%-*w|9");
  ExpectSent(dll.tellitwf(L"%y|%5k|%d", 9), "%y|%5k|9");
}

}  // namespace
}  // namespace tellit::testing
