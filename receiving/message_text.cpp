// The sender prefix and the receiver's notices.
#include "receiving/message_text.h"

#include "receiving/message.h"

namespace message_text {

bool ShowsSender(const Message& message, bool senders) {
  return message.kind == MessageKind::kText && message.hasProcessId &&
         (message.source != MessageSource::kTellit || senders);
}

std::string SenderPrefix(uint32_t processId, std::string_view program) {
  std::string prefix = "[" + std::to_string(processId);
  if (!program.empty()) {
    prefix += ' ';
    prefix += program;
  }
  prefix += "] ";
  return prefix;
}

std::size_t SenderPrefixLength(uint32_t processId, std::string_view program) {
  std::size_t digits = 1;
  for (uint32_t rest = processId / 10; rest != 0; rest /= 10) ++digits;
  return 3 + digits + (program.empty() ? 0 : 1 + program.size());  // "[", "] " and the blank between
}

namespace {

// "[pid program]": the prefix without its blank.
std::string Sender(uint32_t processId, std::string_view program) {
  std::string from = SenderPrefix(processId, program);
  from.pop_back();
  return from;
}

}  // namespace

std::string LossNotice(uint32_t lost, uint32_t processId, std::string_view program) {
  return "<< " + std::to_string(lost) + " messages from " + Sender(processId, program) + " were lost >>\n";
}

std::string UnreadableNotice(uint64_t size) {
  return "<< a message of " + std::to_string(size) + " bytes could not be read >>\n";
}

std::string CutNotice(uint64_t size, uint64_t kept) {
  return "<< a message of " + std::to_string(size) + " bytes was cut to " + std::to_string(kept) + " bytes >>\n";
}

std::string CutNotice(uint64_t size, uint64_t kept, uint32_t processId, std::string_view program) {
  return "<< a message of " + std::to_string(size) + " bytes from " + Sender(processId, program) + " was cut to " +
         std::to_string(kept) + " bytes >>\n";
}

std::string UnkeptNotice(uint64_t count) {
  return "<< " + std::to_string(count) + " messages could not be kept: out of memory >>\n";
}

}  // namespace message_text
