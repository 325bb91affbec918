// Writing a captured message as text or as a JSON line.
#include "capture/record_format.h"

#include <cstdio>

#include "capture/ansi_to_utf8.h"
#include "capture/json_text.h"
#include "monitor/line_ends.h"

namespace capture {

std::string FormatIso8601(const UtcTime& time) {
  char text[96];  // room for every field at its widest int
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", time.year, time.month, time.day, time.hour,
                time.minute, time.second, time.millisecond);
  return text;
}

void AppendPlainText(std::string& out, const char* text, std::size_t length) {
  // Every byte may become two (a lone CR or LF), and Convert writes a NUL after the text.
  const std::size_t start = out.size();
  out.resize(start + 2 * length + 1);
  const std::size_t converted = line_ends::Convert(reinterpret_cast<const uint8_t*>(text), length,
                                                   reinterpret_cast<uint8_t*>(&out[start]), 2 * length + 1);
  out.resize(start + converted);
}

void AppendJsonLine(std::string& out, const CapturedMessage& message, const CodePageDecoder& decoder) {
  out += "{\"time\":\"";
  out += FormatIso8601(message.time);
  out += message.source == Source::kTellit ? "\",\"source\":\"tellit\"" : "\",\"source\":\"debug\"";
  if (message.hasProcessId) {
    out += ",\"pid\":";
    out += std::to_string(message.processId);
  }
  out += ",\"text\":";
  AppendJsonString(out, AnsiToUtf8(decoder, message.text, message.length));
  out += "}\n";
}

}  // namespace capture
