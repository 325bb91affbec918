// What the filters look at in a received message, and which messages are notices that no filter
// hides. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filtering/filter_set.h"
#include "receiving/message.h"

namespace filtering {

// Whether the text is one of tellit.dll's own datagrams: the connection banner, or the notice
// that the next message was cut.
bool IsChannelNotice(const uint8_t* text, std::size_t length);

// The message's text and sender; a notice when it is a loss, a line of the receiver's own, or a
// channel notice from the mailslot. The subject borrows the message's bytes.
FilterSubject SubjectOf(const Message& message);

}  // namespace filtering
