// Utf8Intake: the exact text, ASCII as it stands, or the decoding into UTF-8.
#include "receiving/utf8_intake.h"

#include "channel/utf8_rule.h"
#include "code_page/ansi_to_utf8.h"
#include "code_page/utf8_characters.h"

namespace {

// UTF-8 as a sender says it is: kept where it is well-formed, each byte that starts no character
// made U+FFFD where not.
void DecodeUtf8(const uint8_t* text, std::size_t length, std::string& out) {
  out.clear();
  out.reserve(length);
  std::size_t at = 0;
  while (at < length) {
    const std::size_t bytes = channel::Utf8CharacterBytes(text + at, length - at);
    if (bytes == 0) {
      code_page::AppendUtf8(out, 0xFFFD);
      ++at;
    } else {
      out.append(reinterpret_cast<const char*>(text + at), bytes);
      at += bytes;
    }
  }
}

}  // namespace

void Utf8Intake::Decode(Message& message, const channel::ExactText* exact) {
  if (exact != nullptr && exact->length > 0) {
    message.utf8 = exact->utf8;
    message.utf8Length = exact->length;
    return;
  }
  if (code_page::IsAscii(message.text, message.length)) {
    message.utf8 = message.text;
    message.utf8Length = message.length;
    return;
  }
  if (exact != nullptr && exact->codePage == channel::kUtf8CodePage) {
    DecodeUtf8(message.text, message.length, decoded_);
  } else {
    decoded_ = code_page::AnsiToUtf8(ansi_, reinterpret_cast<const char*>(message.text), message.length);
  }
  message.utf8 = reinterpret_cast<const uint8_t*>(decoded_.data());
  message.utf8Length = decoded_.size();
}
