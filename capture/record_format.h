// How tellitcap writes one message: the text with the monitor's line-end rule, or one JSON line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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
// The same appended to `out`, without a formatting call for the times a clock gives (years 0 to
// 9999, every field in its range): the JSON form writes two a message.
void AppendIso8601(std::string& out, const UtcTime& time);

// The calendar time of a FILETIME value (100 ns units since 1601-01-01, UTC).
UtcTime UtcFromFileTime(uint64_t fileTime);

// kDebugOutputGlobal: debug output through the global objects, where services write.
enum class Source { kTellit, kDebugOutput, kDebugOutputGlobal };

struct CapturedMessage {
  UtcTime time;
  Source source = Source::kTellit;
  uint32_t processId = 0;
  bool hasProcessId = false;  // debug output, and tellit messages with a sender record
  // From a tellit message's sender record: thread, sequence number and the time of the call.
  bool hasSender = false;
  uint32_t threadId = 0;
  uint32_t sequence = 0;
  UtcTime sent;
  uint32_t lost = 0;  // above 0: a record of this many lost messages of processId, no text
  bool cut = false;   // the text was cut, by its sender or on reading
  const char* text = nullptr;  // UTF-8, every character its sender sent
  std::size_t length = 0;
};

// Appends the text with every lone CR and LF made CR LF, as vigilo.exe shows and logs it.
void AppendPlainText(std::string& out, const char* text, std::size_t length);

// Appends {"time":...,"source":"tellit"|"debug"|"debug-output-global"[,"pid":N[,"tid":T,"seq":S,"sent":...]][,"cut":true],"text":...}
// and a line feed, the text escaped (RFC 8259), its line ends kept as sent; for lost messages
// {"time":...,"source":"tellit","lost":N,"pid":P}.
void AppendJsonLine(std::string& out, const CapturedMessage& message);

}  // namespace capture
