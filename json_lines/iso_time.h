// Moments in UTC as the JSON lines write them: "2024-05-06T07:08:09.123Z", from and to FILETIME.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace json_lines {

// A moment in UTC, as the system clock gives it.
struct UtcTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// "2024-05-06T07:08:09.123Z"; each field printed as given, padded to its width.
std::string FormatIso8601(const UtcTime& time);
// The same appended to `out`, without a formatting call for the times a clock gives (years 0 to
// 9999, every field in its range): the JSON form writes two a message.
void AppendIso8601(std::string& out, const UtcTime& time);
// Reads exactly that form (a year of four digits, milliseconds of three); false for anything
// else, a field outside its range among it.
bool ParseIso8601(std::string_view text, UtcTime& time);

// The calendar time of a FILETIME value (100 ns units since 1601-01-01, UTC), and back; a time
// before 1601 gives 0.
UtcTime UtcFromFileTime(uint64_t fileTime);
uint64_t FileTimeFromUtc(const UtcTime& time);

}  // namespace json_lines
