// The UTF-8 form of a logged message: the prefix, the line-end rule and the cut's line end.
#include "monitor/log/log_encoding.h"

#include "receiving/line_ends.h"

std::string LogLineInUtf8(const std::string& prefix, const uint8_t* utf8, std::size_t length, bool cut) {
  std::string line = prefix;
  const std::size_t start = line.size();
  // Every byte may become two (a lone CR or LF), and Convert writes a NUL after the text.
  line.resize(start + 2 * length + 1);
  const std::size_t converted =
      line_ends::Convert(utf8, length, reinterpret_cast<uint8_t*>(&line[start]), 2 * length + 1);
  line.resize(start + converted);
  if (cut && !line_ends::EndsLine(reinterpret_cast<const uint8_t*>(line.data() + start), converted)) line += "\r\n";
  return line;
}
