// Times of the JSON lines: the text form read back, and FILETIME values on the calendar both ways.
#include <gtest/gtest.h>

#include "json_lines/iso_time.h"

namespace {

using json_lines::UtcTime;

TEST(IsoTime, ReadsOnlyTheWrittenForm) {
  const struct {
    const char* text;
    int year, month, day, hour, minute, second, millisecond;
  } cases[] = {
      {"2024-05-06T07:08:09.123Z", 2024, 5, 6, 7, 8, 9, 123},
      {"1601-01-01T00:00:00.000Z", 1601, 1, 1, 0, 0, 0, 0},
      {"2016-12-31T23:59:60.999Z", 2016, 12, 31, 23, 59, 60, 999},  // a leap second
  };
  for (const auto& c : cases) {
    UtcTime time;
    ASSERT_TRUE(json_lines::ParseIso8601(c.text, time)) << c.text;
    EXPECT_EQ(time.year, c.year) << c.text;
    EXPECT_EQ(time.month, c.month) << c.text;
    EXPECT_EQ(time.day, c.day) << c.text;
    EXPECT_EQ(time.hour, c.hour) << c.text;
    EXPECT_EQ(time.minute, c.minute) << c.text;
    EXPECT_EQ(time.second, c.second) << c.text;
    EXPECT_EQ(time.millisecond, c.millisecond) << c.text;
  }
  const char* const refused[] = {
      "2024-05-06T07:08:09.123",
      "2024-05-06 07:08:09.123Z",
      "2024-5-06T07:08:09.123Z",
      "2024-13-06T07:08:09.123Z",
      "2024-00-06T07:08:09.123Z",
      "2024-05-32T07:08:09.123Z",
      "2024-05-06T24:08:09.123Z",
      "2024-05-06T07:60:09.123Z",
      "2024-05-06T07:08:09.12Z",
      "2024-05-06T07:08:09.1234Z",
      "20x4-05-06T07:08:09.123Z",
      "",
  };
  for (const char* text : refused) {
    UtcTime time;
    EXPECT_FALSE(json_lines::ParseIso8601(text, time)) << text;
  }
}

// Known FILETIME values (100 ns since 1601): the Unix epoch, leap days, century rules.
TEST(IsoTime, FileTimesFromTheCalendar) {
  constexpr uint64_t kPerMs = 10000;
  constexpr uint64_t kUnixEpoch = 116444736000000000ull;
  constexpr uint64_t kPerDay = 86400000ull * kPerMs;
  const struct {
    const char* text;
    uint64_t fileTime;
  } cases[] = {
      {"1601-01-01T00:00:00.000Z", 0},
      {"1601-01-01T00:00:00.001Z", kPerMs},
      {"1970-01-01T00:00:00.000Z", kUnixEpoch},
      {"1970-01-02T00:00:00.000Z", kUnixEpoch + kPerDay},
      {"2000-03-01T00:00:00.000Z", kUnixEpoch + 11017 * kPerDay},  // 2000 is a leap year
      {"2000-02-29T00:00:00.000Z", kUnixEpoch + 11016 * kPerDay},
      {"2100-03-01T00:00:00.000Z", kUnixEpoch + 47541 * kPerDay},  // 2100 is none: 24 leap days since 2000-03-01
      {"2024-05-06T07:08:09.123Z", kUnixEpoch + (1714979289123ull) * kPerMs},
  };
  for (const auto& c : cases) {
    UtcTime time;
    ASSERT_TRUE(json_lines::ParseIso8601(c.text, time)) << c.text;
    EXPECT_EQ(json_lines::FileTimeFromUtc(time), c.fileTime) << c.text;
    EXPECT_EQ(json_lines::FormatIso8601(json_lines::UtcFromFileTime(c.fileTime)), c.text);
  }
}

}  // namespace
