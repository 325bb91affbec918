// Writing a captured message as text or as a JSON line.
#include "capture/record_format.h"

#include "receiving/line_ends.h"

namespace capture {

void AppendPlainText(std::string& out, const char* text, std::size_t length) {
  // Every byte may become two (a lone CR or LF), and Convert writes a NUL after the text.
  const std::size_t start = out.size();
  out.resize(start + 2 * length + 1);
  const std::size_t converted = line_ends::Convert(reinterpret_cast<const uint8_t*>(text), length,
                                                   reinterpret_cast<uint8_t*>(&out[start]), 2 * length + 1);
  out.resize(start + converted);
}

void AppendJsonLine(std::string& out, const CapturedMessage& message) {
  json_lines::Record record;
  record.time = message.time;
  record.source = message.source;
  record.processId = message.processId;
  record.hasProcessId = message.hasProcessId || message.lost != 0;
  record.hasSender = message.hasSender;
  record.threadId = message.threadId;
  record.sequence = message.sequence;
  record.sent = message.sent;
  record.lost = message.lost;
  record.cut = message.cut;
  if (message.lost == 0) record.text.assign(message.text, message.length);
  json_lines::AppendRecord(out, record);
}

}  // namespace capture
