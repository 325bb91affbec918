// Clamping of the console settings read from vigilo.ini to the settings page's ranges.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "monitor/settings/settings_ranges.h"

namespace {

using namespace settings_ranges;

struct ClampCase {
  int32_t stored;
  int32_t used;
};

TEST(SettingsRanges, ColumnStaysWithin40To256) {
  const ClampCase cases[] = {{80, 80}, {40, 40}, {256, 256}, {39, 40}, {257, 256},
                             {0, 40}, {-5, 40}, {INT_MIN, 40}, {INT_MAX, 256}};
  for (const auto& c : cases) EXPECT_EQ(ClampColumn(c.stored), c.used) << c.stored;
}

TEST(SettingsRanges, BufferSizeStaysWithin64KilobytesAndOneGibibyte) {
  const ClampCase cases[] = {{64, 64}, {100, 100}, {1024, 1024}, {0, 64}, {63, 64}, {1025, 1025},
                             {65536, 65536}, {1048576, 1048576}, {1048577, 1048576}, {-1, 64},
                             {INT_MAX, 1048576}, {INT_MIN, 64}};
  for (const auto& c : cases) {
    EXPECT_EQ(ClampBufferKb(c.stored), c.used) << c.stored;
    // The caller multiplies by 1024: the result must stay a positive 32-bit byte count.
    EXPECT_LE(static_cast<int64_t>(ClampBufferKb(c.stored)) * 1024, int64_t(INT32_MAX));
  }
}

TEST(SettingsRanges, TabsBecomeTwoFourOrEight) {
  const ClampCase cases[] = {{2, 2}, {4, 4}, {8, 8}, {1, 2}, {0, 2}, {-8, 2}, {3, 4},
                             {5, 4}, {6, 8}, {7, 8}, {9, 8}, {1000000, 8}, {INT_MIN, 2}};
  for (const auto& c : cases) EXPECT_EQ(ClampTabs(c.stored), c.used) << c.stored;
}

// Sizes of 0 or less used to be clamped to 4, which drew glyphs a few pixels tall.
TEST(SettingsRanges, FontSizeOutsideTheOfferedSizesIsTheDefault) {
  for (int32_t offered : kScalableFontSizes) EXPECT_EQ(FontSizeOrDefault(offered, 8, 28), offered);
  const ClampCase cases[] = {{15, 15}, {0, kDefaultFontSize}, {-18, kDefaultFontSize}, {7, kDefaultFontSize},
                             {29, kDefaultFontSize}, {1000, kDefaultFontSize}, {INT_MAX, kDefaultFontSize},
                             {INT_MIN, kDefaultFontSize}};
  for (const auto& c : cases) EXPECT_EQ(FontSizeOrDefault(c.stored, 8, 28), c.used) << c.stored;
  // A raster family's own heights.
  EXPECT_EQ(FontSizeOrDefault(30, 12, 32), 30);
  EXPECT_EQ(FontSizeOrDefault(10, 12, 32), kDefaultFontSize);
}

// The private-profile number reader took "abc" for 0 and wrapped 4294967296 to 0: a value that
// is no 32-bit decimal integer now reads as the key's default.
TEST(SettingsRanges, SettingValuesAreDecimalIntegersWithin32Bits) {
  const struct {
    const char* text;
    int32_t read;
  } cases[] = {
      {"0", 0},           {"18", 18},          {"-1", -1},           {"+7", 7},
      {"  42 ", 42},      {"\t9", 9},          {"007", 7},           {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},                {"4294967295", -1},   {"2147483648", INT_MIN},
      {"4294967296", 99}, {"-2147483649", 99}, {"99999999999999999999999999", 99},
      {"abc", 99},        {"", 99},            {" ", 99},            {"-", 99},
      {"12abc", 99},      {"1 2", 99},         {"0x10", 99},         {"--1", 99},
      {"1.5", 99},        {"+-3", 99},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSettingInt(c.text, 99), c.read) << '"' << c.text << '"';
  EXPECT_EQ(ParseSettingInt(nullptr, 5), 5);
  const std::string digits(5000, '1');
  EXPECT_EQ(ParseSettingInt(digits.c_str(), 99), 99);
}

TEST(SettingsRanges, OnOffSettingsReadNonzeroAsOn) {
  const ClampCase cases[] = {{0, 0}, {1, 1}, {2, 1}, {-1, 1}, {INT_MAX, 1}, {INT_MIN, 1}};
  for (const auto& c : cases) EXPECT_EQ(ClampFlag(c.stored), c.used) << c.stored;
}

TEST(SettingsRanges, ColoursKeepTheirRedGreenAndBlueOnly) {
  const struct {
    uint32_t stored, used;
  } cases[] = {{0x000000, 0x000000}, {0x0000FF, 0x0000FF}, {0xFFFFFF, 0xFFFFFF}, {0xFFFF00, 0xFFFF00},
               {0xFFFFFFFFu, 0xFFFFFF}, {0x01000005u, 0x000005}, {0x02123456u, 0x123456}};
  for (const auto& c : cases) EXPECT_EQ(ClampColour(c.stored), c.used) << std::hex << c.stored;
}

}  // namespace
