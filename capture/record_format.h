// How tellitcap writes one message: the text with the monitor's line-end rule, or one JSON line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "capture/code_page_decoder.h"

namespace capture {

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

enum class Source { kTellit, kDebugOutput };

struct CapturedMessage {
  UtcTime time;
  Source source = Source::kTellit;
  uint32_t processId = 0;  // debug output only
  bool hasProcessId = false;  // false for tellit messages and the drop notice of debug output
  const char* text = nullptr;  // in the ANSI code page; the text the monitor shows
  std::size_t length = 0;
};

// Appends the text with every lone CR and LF made CR LF, as vigilo.exe shows and logs it.
void AppendPlainText(std::string& out, const char* text, std::size_t length);

// Appends {"time":...,"source":"tellit"|"debug"[,"pid":N],"text":...} and a line feed; the text
// decoded from the ANSI code page to UTF-8 and escaped, its line ends kept as sent.
void AppendJsonLine(std::string& out, const CapturedMessage& message, const CodePageDecoder& decoder);

}  // namespace capture
