// The first argument of the command line, as the system's rule quotes it.
#include "monitor/files/command_line.h"

std::string FileOfCommandLine(std::string_view line) {
  size_t at = 0;
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  std::string file;
  bool quoted = false;
  for (; at < line.size(); ++at) {
    const char c = line[at];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && (c == ' ' || c == '\t')) break;
    file += c;
  }
  return file;
}
