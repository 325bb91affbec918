// One message as a JSON line, the form tellitcap writes and the monitor saves and opens:
//   {"time":"2024-05-06T07:08:09.123Z","source":"tellit"|"debug"|"debug-output-global"
//    [,"pid":N[,"program":"name"][,"tid":T,"seq":S,"sent":"..."]][,"kind":"notice"][,"cut":true]
//    ,"text":"..."}
// and for messages that never arrived {"time":...,"source":"tellit","lost":N,"pid":P}. Keys may
// come in any order when read; unknown keys are passed over, so that later fields do not break
// older readers. Portable: no Windows header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "json_lines/iso_time.h"

namespace json_lines {

// kDebugOutputGlobal: debug output through the global objects, where services write.
enum class Source { kTellit, kDebugOutput, kDebugOutputGlobal };

struct Record {
  UtcTime time;  // when the message was taken
  Source source = Source::kTellit;
  uint32_t processId = 0;
  bool hasProcessId = false;  // debug output, and tellit messages with a sender record
  std::string program;        // the sender's program name; empty when unknown
  // From a tellit message's sender record: thread, sequence number and the time of the call.
  bool hasSender = false;
  uint32_t threadId = 0;
  uint32_t sequence = 0;
  UtcTime sent;
  uint32_t lost = 0;    // above 0: a record of this many lost messages of processId, no text
  bool notice = false;  // a line of the receiver's own, not a sender's text
  bool cut = false;     // the text was cut, by its sender or on reading
  std::string text;     // UTF-8, line ends as sent
};

// Appends the record as one JSON line and its line feed.
void AppendRecord(std::string& out, const Record& record);

enum class ReadResult { kRecord, kBlank, kMalformed };
// Reads one line (without its line end): a record, a blank line (nothing but white space), or
// malformed: no JSON object, no valid "time", or a field of the wrong type. A record is complete
// only when it has a "text" or a "lost" above 0.
ReadResult ReadRecord(std::string_view line, Record& record);

}  // namespace json_lines
