// The receiver's line-end rule, text length and buffer growth rules, case by case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiving/line_ends.h"

namespace {

std::string Convert(const std::string& text, size_t capacity = 256) {
  std::vector<uint8_t> out(capacity + 1, 0xAA);  // one guard byte past the capacity
  const size_t length = line_ends::Convert(reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                                           out.data(), capacity);
  EXPECT_LT(length, capacity);
  EXPECT_EQ(out[length], 0) << "the converted text ends with a NUL";
  EXPECT_EQ(out[capacity], 0xAA) << "nothing is written past the capacity";
  return std::string(out.begin(), out.begin() + static_cast<long>(length));
}

struct LineEndCase {
  const char* name;
  std::string in;
  std::string out;
};

TEST(LineEnds, ConvertsEveryLoneBreakAndKeepsPairs) {
  const LineEndCase cases[] = {
      {"lone LF", "abc\n", "abc\r\n"},
      {"lone CR", "abc\r", "abc\r\n"},
      {"CR LF unchanged", "abc\r\n", "abc\r\n"},
      {"LF CR unchanged", "abc\n\r", "abc\n\r"},
      {"two LFs", "\n\n", "\r\n\r\n"},
      {"CR CR LF", "\r\r\n", "\r\n\r\n"},
      {"LF LF CR: second LF pairs with the CR", "\n\n\r", "\r\n\n\r"},
      {"CR LF CR: the trailing CR stands alone", "\r\n\r", "\r\n\r\n"},
      {"LF CR LF: the trailing LF stands alone", "\n\r\n", "\n\r\r\n"},
      {"breaks in the middle", "a\nb\rc", "a\r\nb\r\nc"},
      {"no breaks", "plain text", "plain text"},
      {"empty", "", ""},
      {"banner", "<< open TELLIT monitor >>\n", "<< open TELLIT monitor >>\r\n"},
      {"Shift-JIS 0x0A trail is impossible; 0x5C passes", "\x95\x5C\n", "\x95\x5C\r\n"},
      {"high bytes pass", "\x82\xa0\x82\xa2", "\x82\xa0\x82\xa2"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Convert(c.in), c.out) << c.name;
  }
}

TEST(LineEnds, CutsAtTheCapacityWithoutSplittingALineEnd) {
  const struct {
    const char* name;
    std::string in;
    size_t capacity;
    std::string out;
  } cases[] = {
      {"room for exactly the text", "abcd", 5, "abcd"},
      {"one byte short", "abcde", 5, "abcd"},
      {"a line end needing two bytes with one left is dropped", "abc\n", 5, "abc"},
      {"a pair with one byte left is dropped whole", "abc\r\n", 5, "abc"},
      {"a line end that fits exactly", "ab\n", 5, "ab\r\n"},
      {"a text after a dropped line end is not squeezed in", "abc\nd", 5, "abc"},
      {"capacity 1 leaves only the NUL", "abc", 1, ""},
      {"lone LFs doubling past the capacity", "\n\n\n", 6, "\r\n\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Convert(c.in, c.capacity), c.out) << c.name;
  }
}

TEST(LineEnds, CapacityZeroWritesNothing) {
  uint8_t guard = 0xAA;
  EXPECT_EQ(line_ends::Convert(reinterpret_cast<const uint8_t*>("ab"), 2, &guard, 0), 0u);
  EXPECT_EQ(guard, 0xAA);
}

TEST(TextLength, EndsAtTheFirstNulOrTheLastByteRead) {
  const struct {
    const char* name;
    std::string datagram;
    size_t length;
  } cases[] = {
      {"text and NUL", std::string("abc\0", 4), 3},
      {"only the NUL: empty datagram", std::string("\0", 1), 0},
      {"NUL in the middle", std::string("ab\0cd\0", 6), 2},
      {"no NUL: every byte read", "abcdef", 6},
      {"nothing read", "", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(line_ends::TextLength(reinterpret_cast<const uint8_t*>(c.datagram.data()), c.datagram.size()),
              c.length)
        << c.name;
  }
}

TEST(ReceiveCapacity, GrowsToWholeKilobytesUpToTheCeiling) {
  constexpr uint32_t kCeiling = 0x100000;
  const struct {
    uint32_t capacity, size, grown;
  } cases[] = {
      {4096, 4096, 0},                 // fits: unchanged
      {4096, 100, 0},
      {4096, 5000, 5120},              // next multiple of 1024
      {4096, 4097, 5120},
      {4096, 5120, 5120},              // already a multiple
      {5120, 1, 0},                    // never shrinks
      {0, 1, 1024},                    // no buffer yet
      {4096, 0x100000, 0x100000},
      {4096, 0x100001, 0x100000},      // past the ceiling: the ceiling
      {4096, 0xFFFFFFFEu, 0x100000},   // rounding must not wrap around
      {0x100000, 0x200000, 0},         // at the ceiling: no new buffer
  };
  for (const auto& c : cases) {
    EXPECT_EQ(line_ends::GrownReceiveCapacity(c.capacity, c.size, kCeiling), c.grown)
        << "capacity " << c.capacity << " size " << c.size;
  }
}

// A buffer of exactly twice the text had no room for the NUL: 4,096 lone line feeds lost their
// last line end.
TEST(ConvertCapacity, HoldsTwiceTheTextAndTheNul) {
  constexpr uint32_t kCeiling = 0x100000;
  const struct {
    uint32_t capacity, length, grown;
  } cases[] = {
      {8192, 4095, 0},                // 8,191 bytes fit
      {8192, 4096, 8193},             // exactly half: one byte short
      {8192, 4097, 8195},
      {8192, 1, 0},
      {8195, 4097, 0},
      {8192, 0x80000, 0x100000},      // twice reaches the ceiling
      {8192, 0x90000, 0x100000},      // twice passes it
      {0x100000, 0x100000, 0},        // at the ceiling: no new buffer
  };
  for (const auto& c : cases) {
    EXPECT_EQ(line_ends::GrownConvertCapacity(c.capacity, c.length, kCeiling), c.grown)
        << "capacity " << c.capacity << " length " << c.length;
  }
}

// Every text fits its doubled buffer whole: each input byte makes at most two output bytes.
TEST(ConvertCapacity, AGrownBufferHoldsTheWholeConvertedText) {
  const std::string text(5000, '\n');
  const uint32_t capacity = line_ends::GrownConvertCapacity(8192, static_cast<uint32_t>(text.size()), 0x100000);
  ASSERT_EQ(capacity, 10001u);
  EXPECT_EQ(Convert(text, capacity).size(), 10000u);
  const std::string half(4096, '\n');
  const uint32_t kept = 8192;
  const uint32_t grown = line_ends::GrownConvertCapacity(kept, static_cast<uint32_t>(half.size()), 0x100000);
  EXPECT_EQ(Convert(half, grown != 0 ? grown : kept).size(), 8192u) << "every line end, the last one too";
}

}  // namespace
