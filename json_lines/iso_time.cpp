// Moments in UTC as text and as FILETIME.
#include "json_lines/iso_time.h"

#include <cstdio>

namespace json_lines {

std::string FormatIso8601(const UtcTime& time) {
  char text[96];  // room for every field at its widest int
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", time.year, time.month, time.day, time.hour,
                time.minute, time.second, time.millisecond);
  return text;
}

namespace {

// Appends `value` (0 .. 10^width - 1) as `width` digits.
void AppendDigits(std::string& out, int value, int width) {
  char digits[4];
  for (int i = width - 1; i >= 0; --i, value /= 10) digits[i] = static_cast<char>('0' + value % 10);
  out.append(digits, static_cast<std::size_t>(width));
}

}  // namespace

void AppendIso8601(std::string& out, const UtcTime& time) {
  const bool usual = time.year >= 0 && time.year <= 9999 && time.month >= 0 && time.month <= 99 && time.day >= 0 &&
                     time.day <= 99 && time.hour >= 0 && time.hour <= 99 && time.minute >= 0 && time.minute <= 99 &&
                     time.second >= 0 && time.second <= 99 && time.millisecond >= 0 && time.millisecond <= 999;
  if (!usual) {
    out += FormatIso8601(time);
    return;
  }
  AppendDigits(out, time.year, 4);
  out += '-';
  AppendDigits(out, time.month, 2);
  out += '-';
  AppendDigits(out, time.day, 2);
  out += 'T';
  AppendDigits(out, time.hour, 2);
  out += ':';
  AppendDigits(out, time.minute, 2);
  out += ':';
  AppendDigits(out, time.second, 2);
  out += '.';
  AppendDigits(out, time.millisecond, 3);
  out += 'Z';
}

UtcTime UtcFromFileTime(uint64_t fileTime) {
  const uint64_t milliseconds = fileTime / 10000;
  const int64_t daysSince1601 = static_cast<int64_t>(milliseconds / 86400000);
  const auto inDay = static_cast<int>(milliseconds % 86400000);
  // Days since 0000-03-01 in the proleptic Gregorian calendar, then its eras of 400 years.
  const int64_t days = daysSince1601 + 584694;
  const int64_t era = days / 146097;
  const auto dayOfEra = static_cast<int>(days - era * 146097);
  const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int monthFromMarch = (5 * dayOfYear + 2) / 153;
  UtcTime time;
  time.day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
  time.month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  time.year = static_cast<int>(era * 400 + yearOfEra) + (time.month <= 2 ? 1 : 0);
  time.hour = inDay / 3600000;
  time.minute = inDay / 60000 % 60;
  time.second = inDay / 1000 % 60;
  time.millisecond = inDay % 1000;
  return time;
}

uint64_t FileTimeFromUtc(const UtcTime& time) {
  // Days since 0000-03-01 of the proleptic Gregorian calendar, as UtcFromFileTime counts them.
  const int64_t year = int64_t(time.year) - (time.month <= 2 ? 1 : 0);
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t monthFromMarch = time.month > 2 ? time.month - 3 : time.month + 9;
  const int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + time.day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const int64_t daysSince1601 = era * 146097 + dayOfEra - 584694;
  if (daysSince1601 < 0) return 0;
  const int64_t milliseconds =
      ((daysSince1601 * 24 + time.hour) * 60 + time.minute) * 60000 + int64_t(time.second) * 1000 + time.millisecond;
  return uint64_t(milliseconds) * 10000;
}

namespace {

// `width` digits at text[at]; false when any is no digit.
bool ReadDigits(std::string_view text, size_t at, size_t width, int& value) {
  value = 0;
  for (size_t i = at; i < at + width; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

bool ParseIso8601(std::string_view text, UtcTime& time) {
  // "YYYY-MM-DDTHH:MM:SS.mmmZ"
  if (text.size() != 24 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':' || text[19] != '.' || text[23] != 'Z')
    return false;
  UtcTime read;
  if (!ReadDigits(text, 0, 4, read.year) || !ReadDigits(text, 5, 2, read.month) || !ReadDigits(text, 8, 2, read.day) ||
      !ReadDigits(text, 11, 2, read.hour) || !ReadDigits(text, 14, 2, read.minute) ||
      !ReadDigits(text, 17, 2, read.second) || !ReadDigits(text, 20, 3, read.millisecond))
    return false;
  if (read.month < 1 || read.month > 12 || read.day < 1 || read.day > 31 || read.hour > 23 || read.minute > 59 ||
      read.second > 60)
    return false;
  time = read;
  return true;
}

}  // namespace json_lines
