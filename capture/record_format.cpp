// Writing a captured message as text or as a JSON line.
#include "capture/record_format.h"

#include <cstdio>

#include "capture/json_text.h"
#include "receiving/line_ends.h"

namespace capture {

namespace {

const char* SourceName(Source source) {
  switch (source) {
    case Source::kTellit: return "tellit";
    case Source::kDebugOutput: return "debug";
    case Source::kDebugOutputGlobal: return "debug-output-global";
  }
  return "tellit";
}

}  // namespace

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

// Appends a number without the temporary string of std::to_string.
void AppendNumber(std::string& out, uint32_t value) {
  char digits[10];
  int at = 10;
  do {
    digits[--at] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  out.append(digits + at, static_cast<std::size_t>(10 - at));
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

void AppendPlainText(std::string& out, const char* text, std::size_t length) {
  // Every byte may become two (a lone CR or LF), and Convert writes a NUL after the text.
  const std::size_t start = out.size();
  out.resize(start + 2 * length + 1);
  const std::size_t converted = line_ends::Convert(reinterpret_cast<const uint8_t*>(text), length,
                                                   reinterpret_cast<uint8_t*>(&out[start]), 2 * length + 1);
  out.resize(start + converted);
}

void AppendJsonLine(std::string& out, const CapturedMessage& message) {
  out += "{\"time\":\"";
  AppendIso8601(out, message.time);
  out += "\",\"source\":\"";
  out += SourceName(message.source);
  out += '"';
  if (message.lost != 0) {
    out += ",\"lost\":";
    AppendNumber(out, message.lost);
    out += ",\"pid\":";
    AppendNumber(out, message.processId);
    out += "}\n";
    return;
  }
  if (message.hasProcessId) {
    out += ",\"pid\":";
    AppendNumber(out, message.processId);
  }
  if (message.hasSender) {
    out += ",\"tid\":";
    AppendNumber(out, message.threadId);
    out += ",\"seq\":";
    AppendNumber(out, message.sequence);
    out += ",\"sent\":\"";
    AppendIso8601(out, message.sent);
    out += '"';
  }
  if (message.cut) out += ",\"cut\":true";
  out += ",\"text\":";
  AppendJsonString(out, std::string(message.text, message.length));
  out += "}\n";
}

}  // namespace capture
