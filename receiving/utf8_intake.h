// Utf8Intake: where each message gets its text in UTF-8, once, as the receiver takes it: the exact
// text of its datagram, or its ANSI text decoded. Portable: no Windows header.
#pragma once

#include <string>

#include "channel/exact_text.h"
#include "code_page/code_page_decoder.h"
#include "receiving/message.h"

class Utf8Intake {
 public:
  // `ansi` decodes the receiver's ANSI code page, which a sender that says nothing shares.
  explicit Utf8Intake(const code_page::CodePageDecoder& ansi) : ansi_(ansi) {}

  // Points the message's utf8 at its text in UTF-8, valid until the next call: the exact text where
  // `exact` has one, the text itself where it is ASCII, or UTF-8 already by the sender's word, else
  // the text decoded into storage of its own.
  void Decode(Message& message, const channel::ExactText* exact = nullptr);

 private:
  const code_page::CodePageDecoder& ansi_;
  std::string decoded_;
};
