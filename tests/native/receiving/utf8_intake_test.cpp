// Where a message's UTF-8 text comes from at intake: its exact text, its own ASCII, its ANSI text
// decoded, or its UTF-8 by the sender's word.
#include "receiving/utf8_intake.h"

#include <gtest/gtest.h>

#include <string>

#include "../capture/table_decoders.h"

namespace {

std::string Utf8Of(const Message& message) {
  return std::string(reinterpret_cast<const char*>(message.utf8), message.utf8Length);
}

TEST(Utf8Intake, EachMessageGetsItsTextInUtf8FromWhereItIs) {
  const capture_testing::WesternTableDecoder western;
  const std::string exactGreek = "\xCE\x95\xCE\xBB";  // "Ελ", which the Western page lacks
  channel::ExactText withText{1252, reinterpret_cast<const uint8_t*>(exactGreek.data()), exactGreek.size()};
  channel::ExactText utf8Page{65001, nullptr, 0};
  channel::ExactText otherPage{1252, nullptr, 0};
  const struct {
    const char* name;
    std::string text;
    const channel::ExactText* exact;
    std::string utf8;
    bool sameBytes;  // the text itself, not a copy
  } cases[] = {
      {"ASCII is its own UTF-8", "plain\n", nullptr, "plain\n", true},
      {"the ANSI code page decoded", "caf\xE9 \x80", nullptr, "caf\xC3\xA9 \xE2\x82\xAC", false},
      {"a byte the code page lacks", "a\x81z", nullptr, "a\xEF\xBF\xBDz", false},
      {"the exact text wins over the ANSI text", "??", &withText, exactGreek, false},
      {"UTF-8 by the sender's word", "\xCE\x95\xF0\x9F\x98\x80", &utf8Page, "\xCE\x95\xF0\x9F\x98\x80", false},
      {"broken UTF-8: each byte that starts no character", "a\xCE\xF0\x9F\x98z", &utf8Page,
       "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDz", false},
      {"a footer naming the ANSI code page", "caf\xE9", &otherPage, "caf\xC3\xA9", false},
      {"an empty text", "", nullptr, "", true},
  };
  Utf8Intake intake(western);
  for (const auto& c : cases) {
    Message message;
    message.text = reinterpret_cast<const uint8_t*>(c.text.data());
    message.length = c.text.size();
    intake.Decode(message, c.exact);
    EXPECT_EQ(Utf8Of(message), c.utf8) << c.name;
    EXPECT_EQ(message.utf8 == message.text, c.sameBytes) << c.name;
  }
}

// Shift-JIS decoded whole, and a lead byte cut from its trail byte made U+FFFD.
TEST(Utf8Intake, DoubleByteTextDecodesByWholeCharacters) {
  const capture_testing::ShiftJisTableDecoder shiftJis;
  Utf8Intake intake(shiftJis);
  const std::string text = "\x93\xFA\x96\x7B\x8C\xEA!\x93";
  Message message;
  message.text = reinterpret_cast<const uint8_t*>(text.data());
  message.length = text.size();
  intake.Decode(message);
  EXPECT_EQ(Utf8Of(message), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E!\xEF\xBF\xBD");
}

}  // namespace
