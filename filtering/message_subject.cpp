// The filter subject of a received message.
#include "filtering/message_subject.h"

#include <cstring>

#include "channel/channel.h"

namespace filtering {

namespace {

// The datagram's text ends at its NUL: the fixed texts without theirs.
bool Equals(const uint8_t* text, std::size_t length, const char* fixed, std::size_t fixedBytes) {
  return length == fixedBytes - 1 && std::memcmp(text, fixed, length) == 0;
}

}  // namespace

bool IsChannelNotice(const uint8_t* text, std::size_t length) {
  return Equals(text, length, channel::kOpenBanner, channel::kOpenBannerBytes) ||
         Equals(text, length, channel::kOverflowNotice, channel::kOverflowNoticeBytes);
}

FilterSubject SubjectOf(const Message& message) {
  FilterSubject subject;
  subject.text = message.text;
  subject.length = message.length;
  if (message.hasProcessId) {
    subject.processId = message.processId;
    subject.program = message.program;
  }
  subject.notice = message.kind != MessageKind::kText ||
                   (message.source == MessageSource::kTellit && IsChannelNotice(message.text, message.length));
  return subject;
}

}  // namespace filtering
