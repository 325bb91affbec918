// Clamping of the console settings read from vigilo.ini to the settings page's ranges.
#include <gtest/gtest.h>

#include <climits>

#include "monitor/settings_ranges.h"

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

TEST(SettingsRanges, BufferSizeStaysWithin64To1024Kilobytes) {
  const ClampCase cases[] = {{64, 64}, {100, 100}, {1024, 1024}, {0, 64}, {63, 64},
                             {1025, 1024}, {-1, 64}, {INT_MAX, 1024}, {INT_MIN, 64}};
  for (const auto& c : cases) {
    EXPECT_EQ(ClampBufferKb(c.stored), c.used) << c.stored;
    // The caller multiplies by 1024: the result must stay a sane 32-bit byte count.
    EXPECT_LE(static_cast<int64_t>(ClampBufferKb(c.stored)) * 1024, 1024 * 1024);
  }
}

TEST(SettingsRanges, TabsBecomeTwoFourOrEight) {
  const ClampCase cases[] = {{2, 2}, {4, 4}, {8, 8}, {1, 2}, {0, 2}, {-8, 2}, {3, 4},
                             {5, 4}, {6, 8}, {7, 8}, {9, 8}, {1000000, 8}, {INT_MIN, 2}};
  for (const auto& c : cases) EXPECT_EQ(ClampTabs(c.stored), c.used) << c.stored;
}

TEST(SettingsRanges, FontSizeKeepsEveryOfferedSize) {
  for (int32_t offered : {8, 10, 12, 14, 16, 18, 20, 22, 24, 28}) {
    EXPECT_EQ(ClampFontSize(offered), offered);
  }
  const ClampCase cases[] = {{0, kFontSizeMin}, {-18, kFontSizeMin}, {1000, kFontSizeMax},
                             {INT_MAX, kFontSizeMax}, {INT_MIN, kFontSizeMin}};
  for (const auto& c : cases) EXPECT_EQ(ClampFontSize(c.stored), c.used) << c.stored;
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
