// The NumberEdit text rule: what a number box keeps for each text typed into it.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/number_text.h"

namespace {

struct AcceptCase {
  const char* text;
  int32_t previous, minimum, maximum;
  int32_t kept;
};

// The wrap column box: range 40 to 256, previous value 80.
const AcceptCase kWrapColumnCases[] = {
    {"100", 80, 40, 256, 100},
    {"300", 80, 40, 256, 80},    // above the range
    {"", 80, 40, 256, 80},       // no digits reads as 0, below the range
    {"12abc", 80, 40, 256, 80},  // reads as 12, below the range
    {"-50", 80, 40, 256, 80},    // negative
    {"40", 80, 40, 256, 40},     // both ends are inclusive
    {"256", 80, 40, 256, 256},
    {"39", 80, 40, 256, 80},
    {"257", 80, 40, 256, 80},
    {"0100", 80, 40, 256, 100},  // leading zeros are digits like any other
    {"100 KB", 80, 40, 256, 100},
    {" 100", 80, 40, 256, 80},   // a leading blank ends the digits at once
    {"+100", 80, 40, 256, 80},   // only '-' is a sign
    {"--100", 80, 40, 256, 80},
};

TEST(NumberEditText, KeepsInRangeNumbersAndRevertsEverythingElse) {
  for (const AcceptCase& c : kWrapColumnCases) {
    EXPECT_EQ(AcceptNumberText(c.text, c.previous, c.minimum, c.maximum), c.kept)
        << "text \"" << c.text << "\"";
  }
}

TEST(NumberEditText, NoDigitsIsZeroWhichAZeroBasedRangeAccepts) {
  EXPECT_EQ(AcceptNumberText("", 5, 0, 10), 0);
  EXPECT_EQ(AcceptNumberText("-", 5, 0, 10), 0);
  EXPECT_EQ(AcceptNumberText("abc", 5, -10, 10), 0);
}

TEST(NumberEditText, NegativeRangesAreAccepted) {
  EXPECT_EQ(AcceptNumberText("-50", 0, -100, -1), -50);
  EXPECT_EQ(AcceptNumberText("50", -3, -100, -1), -3);
}

struct ParseCase {
  const char* text;
  bool fits;
  int32_t value;  // meaningful only when fits
};

const ParseCase kLimitCases[] = {
    {"2147483647", true, INT32_MAX},
    {"-2147483648", true, INT32_MIN},
    {"2147483648", false, 0},
    {"-2147483649", false, 0},
    {"4294967296", false, 0},       // would wrap to 0 in 32-bit arithmetic
    {"4294967396", false, 0},       // would wrap to 100, inside a usual range
    {"00000000000000000000000000042", true, 42},  // 29 digits, small value
    {"9999999999999999999999999999999", false, 0},  // 31 digits, as many as the box holds
};

TEST(NumberEditText, ThirtyTwoBitLimits) {
  for (const ParseCase& c : kLimitCases) {
    const ParsedNumber number = ParseNumberText(c.text);
    EXPECT_EQ(number.fits, c.fits) << c.text;
    if (c.fits) EXPECT_EQ(number.value, c.value) << c.text;
  }
}

TEST(NumberEditText, OverflowKeepsThePreviousValue) {
  // A digit run that wraps around to an in-range value must not be taken for that value.
  EXPECT_EQ(AcceptNumberText("4294967396", 80, 40, 256), 80);
  EXPECT_EQ(AcceptNumberText(std::string(31, '9').c_str(), 80, 40, 256), 80);
  EXPECT_EQ(AcceptNumberText(("-" + std::string(30, '9')).c_str(), 80, -2147483647 - 1, 256), 80);
}

TEST(NumberEditText, NullTextReadsAsZero) {
  EXPECT_EQ(ParseNumberText(nullptr).value, 0);
  EXPECT_EQ(AcceptNumberText(nullptr, 80, 40, 256), 80);
}

}  // namespace
