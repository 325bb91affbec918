// The sender prefix and the receiver's notices.
#include "receiving/message_text.h"

namespace message_text {

std::string SenderPrefix(uint32_t processId, std::string_view program) {
  std::string prefix = "[" + std::to_string(processId);
  if (!program.empty()) {
    prefix += ' ';
    prefix += program;
  }
  prefix += "] ";
  return prefix;
}

std::string LossNotice(uint32_t lost, uint32_t processId, std::string_view program) {
  std::string from = SenderPrefix(processId, program);
  from.pop_back();  // the prefix's blank
  return "<< " + std::to_string(lost) + " messages from " + from + " were lost >>\n";
}

std::string UnreadableNotice(uint64_t size) {
  return "<< a message of " + std::to_string(size) + " bytes could not be read >>\n";
}

std::string CutNotice(uint64_t size, uint64_t kept) {
  return "<< a message of " + std::to_string(size) + " bytes was cut to " + std::to_string(kept) + " bytes >>\n";
}

}  // namespace message_text
