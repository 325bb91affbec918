// The sender trailer on the wire: the bytes a client writes, and which datagrams a reader takes
// as carrying one.
#include "channel/sender_trailer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string WithTrailer(const std::string& textAndNul, const channel::SenderTrailer& trailer) {
  std::string datagram = textAndNul + std::string(channel::kTrailerBytes, '\0');
  channel::EncodeTrailer(trailer, reinterpret_cast<uint8_t*>(&datagram[textAndNul.size()]));
  return datagram;
}

bool Parse(const std::string& datagram, channel::SenderTrailer& out) {
  return channel::ParseTrailer(reinterpret_cast<const uint8_t*>(datagram.data()), datagram.size(), out);
}

TEST(SenderTrailer, LittleEndianFieldsAfterTheMagic) {
  channel::SenderTrailer trailer;
  trailer.processId = 0x11223344;
  trailer.threadId = 0x55667788;
  trailer.sequence = 0x99AABBCC;
  trailer.sentTime = 0x0102030405060708ull;
  const std::string datagram = WithTrailer(std::string("hi\n", 4), trailer);
  const std::string expected("hi\n\0TLT1\x44\x33\x22\x11\x88\x77\x66\x55\xCC\xBB\xAA\x99\x08\x07\x06\x05\x04\x03\x02\x01",
                             28);
  EXPECT_EQ(datagram, expected);
  channel::SenderTrailer read;
  ASSERT_TRUE(Parse(datagram, read));
  EXPECT_EQ(read.processId, trailer.processId);
  EXPECT_EQ(read.threadId, trailer.threadId);
  EXPECT_EQ(read.sequence, trailer.sequence);
  EXPECT_EQ(read.sentTime, trailer.sentTime);
}

// Older clients and foreign writers send no trailer, or bytes that look like one in part: none of
// them may be read as a sender.
TEST(SenderTrailer, OnlyAWholeTrailerRightAfterANulCounts) {
  channel::SenderTrailer trailer;
  trailer.processId = 7;
  const std::string good = WithTrailer(std::string("x", 2), trailer);
  std::string wrongMagic = good;
  wrongMagic[2] = 'X';
  std::string noNulBefore = good;
  noNulBefore[1] = 'y';
  const struct {
    const char* name;
    std::string datagram;
    bool parsed;
  } cases[] = {
      {"a trailer after the text's NUL", good, true},
      {"an empty text and its trailer", WithTrailer(std::string(1, '\0'), trailer), true},
      {"an older client: text and NUL only", std::string("plain\n", 7), false},
      {"a wrong magic", wrongMagic, false},
      {"no NUL before the trailer", noNulBefore, false},
      {"a short tail: one byte missing", good.substr(0, good.size() - 1), false},
      {"a byte more after the trailer", good + "z", false},
      {"random bytes after a NUL", std::string("a\0", 2) + "\x13\x99TLT1garbagegarbage12xx", false},
      {"the trailer alone, no NUL", good.substr(2), false},
      {"nothing", std::string(), false},
  };
  for (const auto& c : cases) {
    channel::SenderTrailer read;
    EXPECT_EQ(Parse(c.datagram, read), c.parsed) << c.name;
  }
  channel::SenderTrailer unused;
  EXPECT_FALSE(channel::ParseTrailer(nullptr, 100, unused));
}

}  // namespace
