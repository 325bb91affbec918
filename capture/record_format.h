// How tellitcap writes one message: the text with the monitor's line-end rule, or one JSON line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "json_lines/record.h"

namespace capture {

// The times and the sources as the JSON-lines room names them: one form for both programs.
using json_lines::AppendIso8601;
using json_lines::FormatIso8601;
using json_lines::Source;
using json_lines::UtcFromFileTime;
using json_lines::UtcTime;

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

// Appends the message as a JSON line of the schema in json_lines/record.h (UTF-8, RFC 8259), its
// line ends kept as sent.
void AppendJsonLine(std::string& out, const CapturedMessage& message);

}  // namespace capture
