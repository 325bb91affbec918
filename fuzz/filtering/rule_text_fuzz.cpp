// Fuzzes the saved form of a rule: a line that reads as a rule is written back to a line that
// reads as the same rule and is written the same; and a rule made of the input, written, reads
// back to itself whenever its pattern can be saved.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "filtering/rule_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  filtering::FilterRule read;
  if (filtering::ParseRule(line, read)) {
    const std::string written = filtering::FormatRule(read);
    filtering::FilterRule again;
    if (!filtering::ParseRule(written, again) || again != read) std::abort();
    if (filtering::FormatRule(again) != written) std::abort();
  }

  if (size < 7) return 0;
  filtering::FilterRule made;
  made.action = static_cast<filtering::FilterAction>(data[0] % 3);
  made.field = static_cast<filtering::FilterField>(data[1] % 3);
  made.enabled = data[2] & 1;
  made.matchCase = data[2] & 2;
  made.textColour = (uint32_t(data[3]) << 16 | uint32_t(data[4]) << 8 | data[5]) % (filtering::kMaxColour + 1);
  made.backColour = (uint32_t(data[5]) << 16 | uint32_t(data[4]) << 8 | data[3]);
  made.pattern = line.substr(6);
  const bool savable =
      !made.pattern.empty() && made.pattern.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
  filtering::FilterRule back;
  if (filtering::ParseRule(filtering::FormatRule(made), back) != savable) std::abort();
  if (savable && back != made) std::abort();
  return 0;
}
