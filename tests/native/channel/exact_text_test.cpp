// The exact-text block on the wire: its bytes, which datagrams a reader takes as carrying one, and
// what well-formed UTF-8 is.
#include "channel/exact_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "TLU1", code page 1252, a length of 2, NUL: written out by hand.
const std::string kFooter1252Of2("TLU1\xE4\x04\x00\x00\x02\x00\x00\x00\x00", 13);
// "é" in UTF-8, sent after "?" (what code page 1252 makes of U+00E9 if it lacked it).
const std::string kGood = std::string("?\0", 2) + "\xC3\xA9" + kFooter1252Of2;

bool Parse(const std::string& bytes, channel::ExactText& out) {
  const std::size_t text = bytes.find('\0') == std::string::npos ? bytes.size() : bytes.find('\0');
  return channel::ParseExactText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), text, out);
}

TEST(ExactText, FooterIsMagicCodePageLengthAndNul) {
  std::string footer(channel::kExactFooterBytes, 'x');
  channel::EncodeExactFooter(1252, 2, reinterpret_cast<uint8_t*>(&footer[0]));
  EXPECT_EQ(footer, kFooter1252Of2);
  channel::ExactText read;
  ASSERT_TRUE(Parse(kGood, read));
  EXPECT_EQ(read.codePage, 1252u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(read.utf8), read.length), "\xC3\xA9");
}

std::string Block(const std::string& utf8, const std::string& footer) { return std::string("?\0", 2) + utf8 + footer; }

TEST(ExactText, OnlyAWholeWellFormedBlockRightAfterTheNulCounts) {
  std::string wrongMagic = kGood;
  wrongMagic[4] = 'X';
  std::string noFinalNul = kGood;
  noFinalNul.back() = '1';
  const std::string footerOf3("TLU1\xE4\x04\x00\x00\x03\x00\x00\x00\x00", 13);
  const std::string footerOf0("TLU1\xE4\x04\x00\x00\x00\x00\x00\x00\x00", 13);
  const std::string codePage0("TLU1\x00\x00\x00\x00\x02\x00\x00\x00\x00", 13);
  const std::string codePage65536("TLU1\x00\x00\x01\x00\x02\x00\x00\x00\x00", 13);
  const std::string utf8Page("TLU1\xE9\xFD\x00\x00\x04\x00\x00\x00\x00", 13);
  const std::string version2("TLU2\xE4\x04\x00\x00\x02\x00\x00\x00\x00", 13);
  const std::string hugeLength("TLU1\xE4\x04\x00\x00\xFE\xFF\xFF\xFF\x00", 13);
  const struct {
    const char* name;
    std::string bytes;
    bool parsed;
  } cases[] = {
      {"a block after the text's NUL", kGood, true},
      {"code page 65001 and a four-byte character", Block("\xF0\x9F\x98\x80", utf8Page), true},
      {"no block: text and NUL", std::string("plain\n", 7), false},
      {"nothing at all", std::string(), false},
      {"the footer alone: the text before the NUL is exact", std::string("?\0", 2) + footerOf0, true},
      {"a length of 0 with bytes before the footer", Block("\xC3\xA9", footerOf0), false},
      {"a wrong magic", wrongMagic, false},
      {"a later version", Block("\xC3\xA9", version2), false},
      {"no NUL at the footer's end", noFinalNul, false},
      {"a length one too long", Block("\xC3\xA9", footerOf3), false},
      {"a length beyond the datagram", Block("\xC3\xA9", hugeLength), false},
      {"a byte between the NUL and the text", std::string("?\0z", 3) + "\xC3\xA9" + kFooter1252Of2, false},
      {"code page 0", Block("\xC3\xA9", codePage0), false},
      {"code page above 65535", Block("\xC3\xA9", codePage65536), false},
      {"a NUL inside the text", Block(std::string("a\0", 2), kFooter1252Of2), false},
      {"a stray continuation byte", Block("a\x80", kFooter1252Of2), false},
      {"an overlong form of '/'", Block("\xC0\xAF", kFooter1252Of2), false},
      {"a surrogate (U+D800)", Block("\xED\xA0\x80" "a", utf8Page), false},
      {"beyond U+10FFFF", Block("\xF4\x90\x80\x80", utf8Page), false},
      {"a lead byte cut short", Block("a\xE3", kFooter1252Of2), false},
      {"the footer cut short", kGood.substr(0, kGood.size() - 1), false},
  };
  for (const auto& c : cases) {
    channel::ExactText read;
    EXPECT_EQ(Parse(c.bytes, read), c.parsed) << c.name;
  }
  channel::ExactText unused;
  EXPECT_FALSE(channel::ParseExactText(nullptr, 100, 1, unused));
  EXPECT_FALSE(channel::ParseExactText(reinterpret_cast<const uint8_t*>(kGood.data()), kGood.size(), kGood.size(), unused))
      << "a text that fills the datagram has no room for a block";
}

// The bytes each character takes; 0 for what is no character.
TEST(Utf8Rule, CharacterBytesFollowTheStandardTable) {
  const struct {
    std::string bytes;
    std::size_t length;
  } cases[] = {
      {"A", 1}, {"\x7F", 1}, {"\xC2\x80", 2}, {"\xDF\xBF", 2}, {"\xE0\xA0\x80", 3}, {"\xED\x9F\xBF", 3},
      {"\xEE\x80\x80", 3}, {"\xEF\xBF\xBF", 3}, {"\xF0\x90\x80\x80", 4}, {"\xF4\x8F\xBF\xBF", 4},
      {"\x80", 0}, {"\xBF", 0}, {"\xC0\x80", 0}, {"\xC1\xBF", 0}, {"\xE0\x9F\xBF", 0}, {"\xED\xA0\x80", 0},
      {"\xED\xBF\xBF", 0}, {"\xF0\x8F\xBF\xBF", 0}, {"\xF4\x90\x80\x80", 0}, {"\xF5\x80\x80\x80", 0},
      {"\xFF", 0}, {"\xE3\x81", 0}, {"\xE3\x41\x82", 0}, {"\xF0\x9F\x98", 0}, {"", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(channel::Utf8CharacterBytes(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size()), c.length)
        << ::testing::PrintToString(c.bytes);
  }
}

}  // namespace
