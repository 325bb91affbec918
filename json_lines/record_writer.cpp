// Writing one message as a JSON line.
#include <cstdint>

#include "json_lines/json_string.h"
#include "json_lines/record.h"

namespace json_lines {

namespace {

const char* SourceName(Source source) {
  switch (source) {
    case Source::kTellit: return "tellit";
    case Source::kDebugOutput: return "debug";
    case Source::kDebugOutputGlobal: return "debug-output-global";
  }
  return "tellit";
}

// Appends a number without the temporary string of std::to_string.
void AppendNumber(std::string& out, uint32_t value) {
  char digits[10];
  int at = 10;
  do {
    digits[--at] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  out.append(digits + at, static_cast<size_t>(10 - at));
}

}  // namespace

void AppendRecord(std::string& out, const Record& record) {
  out += "{\"time\":\"";
  AppendIso8601(out, record.time);
  out += "\",\"source\":\"";
  out += SourceName(record.source);
  out += '"';
  if (record.lost != 0) {
    out += ",\"lost\":";
    AppendNumber(out, record.lost);
    out += ",\"pid\":";
    AppendNumber(out, record.processId);
    out += "}\n";
    return;
  }
  if (record.hasProcessId) {
    out += ",\"pid\":";
    AppendNumber(out, record.processId);
    if (!record.program.empty()) {
      out += ",\"program\":";
      AppendJsonString(out, record.program);
    }
  }
  if (record.hasSender) {
    out += ",\"tid\":";
    AppendNumber(out, record.threadId);
    out += ",\"seq\":";
    AppendNumber(out, record.sequence);
    out += ",\"sent\":\"";
    AppendIso8601(out, record.sent);
    out += '"';
  }
  if (record.notice) out += ",\"kind\":\"notice\"";
  if (record.cut) out += ",\"cut\":true";
  out += ",\"text\":";
  AppendJsonString(out, record.text);
  out += "}\n";
}

}  // namespace json_lines
