// The texts the receiver's users show for a message: the sender prefix and the notices, one form
// for the monitor, its log and tellitcap. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct Message;
enum class MessageSource : uint8_t;

namespace message_text {

// Whether the message is shown after its sender prefix: debug output always, a text of tellit.dll
// when senders are asked for; never a notice, nor a message without a known sender.
bool ShowsSender(const Message& message, bool senders);
// The same rule for a message's record: a sender's text with its sender known, from `source`.
bool ShowsSender(bool knownSenderText, MessageSource source, bool senders);

// "[pid program] ", or "[pid] " when the program is not known: the form of debug-output lines.
std::string SenderPrefix(uint32_t processId, std::string_view program);
// Its length, without making it.
std::size_t SenderPrefixLength(uint32_t processId, std::string_view program);

// "<< N messages from [pid program] were lost >>" and a line feed.
std::string LossNotice(uint32_t lost, uint32_t processId, std::string_view program);

// "<< a message of N bytes could not be read >>" and a line feed.
std::string UnreadableNotice(uint64_t size);

// "<< a message of N bytes was cut to M bytes >>" and a line feed; with its sender known,
// "<< a message of N bytes from [pid program] was cut to M bytes >>".
std::string CutNotice(uint64_t size, uint64_t kept);
std::string CutNotice(uint64_t size, uint64_t kept, uint32_t processId, std::string_view program);

// "<< N messages could not be kept: out of memory >>" and a line feed: read, then lost by a
// receiving thread that could not copy them.
std::string UnkeptNotice(uint64_t count);

}  // namespace message_text
