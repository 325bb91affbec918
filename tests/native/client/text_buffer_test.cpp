// Growth of the client's text buffers: the need of a format, replacement, and the wide conversion's room.
#include "client/text_buffer.h"

#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "fake_code_page.h"
#include "table_arguments.h"

namespace tellit::testing {
namespace {

TEST(BufferGrowth, ThreeHundredCharacterFormatRaisesCapacityTo4800EvenForShortText) {
  auto buffer = std::make_unique<char[]>(kFirstTextCapacity);
  std::uint32_t capacity = kFirstTextCapacity;
  const std::string format = "%d" + std::string(298, '\b');  // prints almost nothing visible
  TableArguments<char> arguments({I32(1)});
  FakeCodePage codePage;
  const FormattedText text = FormatIntoBuffer(format.c_str(), buffer, capacity, arguments, codePage);
  ASSERT_TRUE(text.formatted);
  EXPECT_EQ(capacity, 4800u);
  EXPECT_EQ(text.outcome.length, 299u);
}

TEST(BufferGrowth, NeverShrinksAfterALongFormat) {
  std::unique_ptr<char[]> buffer;
  std::uint32_t capacity = 0;
  ASSERT_TRUE(EnsureCapacity(buffer, capacity, 4800));
  const char* grown = buffer.get();
  ASSERT_TRUE(EnsureCapacity(buffer, capacity, FormatNeed(3)));
  EXPECT_EQ(capacity, 4800u);
  EXPECT_EQ(buffer.get(), grown) << "a smaller need must keep the buffer";
}

TEST(BufferGrowth, WideBufferCountsCharactersNotBytes) {
  auto buffer = std::make_unique<wchar_t[]>(kFirstWideCapacity);
  std::uint32_t capacity = kFirstWideCapacity;
  const std::wstring format(300, L'w');
  TableArguments<wchar_t> arguments({});
  FakeCodePage codePage;
  const FormattedText text = FormatIntoBuffer(format.c_str(), buffer, capacity, arguments, codePage);
  ASSERT_TRUE(text.formatted);
  EXPECT_EQ(capacity, 4800u);
  EXPECT_EQ(text.outcome.length, 300u);
}

TEST(BufferGrowth, NeedBeyond32BitsLeavesNoBufferAndCapacityZero) {
  auto buffer = std::make_unique<char[]>(16);
  std::uint32_t capacity = 16;
  EXPECT_FALSE(EnsureCapacity(buffer, capacity, FormatNeed(std::size_t{1} << 28)));
  EXPECT_EQ(buffer, nullptr);
  EXPECT_EQ(capacity, 0u);
  // The next ordinary need allocates afresh.
  EXPECT_TRUE(EnsureCapacity(buffer, capacity, kFirstTextCapacity));
  EXPECT_EQ(capacity, kFirstTextCapacity);
}

TEST(BufferGrowth, EmptyFormatNeedsNothingButStillFormatsIntoTheExistingBuffer) {
  auto buffer = std::make_unique<char[]>(kFirstTextCapacity);
  std::uint32_t capacity = kFirstTextCapacity;
  TableArguments<char> arguments({});
  FakeCodePage codePage;
  const FormattedText text = FormatIntoBuffer("", buffer, capacity, arguments, codePage);
  ASSERT_TRUE(text.formatted);
  EXPECT_EQ(text.outcome.length, 0u);
  EXPECT_EQ(buffer[0], '\0');
}

TEST(BufferGrowth, NarrowNeedLeavesRoomForTheNulAfterDoubleByteText) {
  // 2048 wide characters that each become two bytes fill 4096 bytes; the NUL needs one more.
  EXPECT_EQ(NarrowNeed(2048), 4097u);
  EXPECT_EQ(NarrowNeed(0), 1u);
}

// The monitor receives no datagram longer than 1 MiB with its NUL: the longest format grows the
// buffer to that and no further, and longer text is cut there and reported.
TEST(BufferGrowth, LongFormatGrowsTheBufferToTheLargestTextAndNoFurther) {
  std::unique_ptr<char[]> buffer;
  std::uint32_t capacity = 0;
  const std::string format(1100000, 'a');
  TableArguments<char> arguments({});
  FakeCodePage codePage;
  const FormattedText text = FormatIntoBuffer(format.c_str(), buffer, capacity, arguments, codePage);
  ASSERT_TRUE(text.formatted);
  EXPECT_EQ(kLargestText, 1048576u - 24) << "the text and its NUL leave room for the sender trailer";
  EXPECT_EQ(capacity, kLargestText);
  EXPECT_TRUE(text.outcome.overflowed);
  EXPECT_EQ(text.outcome.length, kLargestText - 1);
}

TEST(BufferGrowth, TextOfTheLargestTextMinusOneIsWhole) {
  std::unique_ptr<wchar_t[]> buffer;
  std::uint32_t capacity = 0;
  const std::wstring format(kLargestText - 1, L'w');
  TableArguments<wchar_t> arguments({});
  FakeCodePage codePage;
  const FormattedText text = FormatIntoBuffer(format.c_str(), buffer, capacity, arguments, codePage);
  ASSERT_TRUE(text.formatted);
  EXPECT_FALSE(text.outcome.overflowed);
  EXPECT_EQ(text.outcome.length, kLargestText - 1);
}

TEST(BufferGrowth, ALargerBufferIsUsedOnlyUpToTheLargestText) {
  std::uint32_t capacity = 2 * kLargestText;
  auto buffer = std::make_unique<char[]>(capacity);
  TableArguments<char> arguments({Str("x")});
  FakeCodePage codePage;
  const std::string format = "%s" + std::string(kLargestText, 'b');
  const FormattedText text = FormatIntoBuffer(format.c_str(), buffer, capacity, arguments, codePage);
  ASSERT_TRUE(text.formatted);
  EXPECT_TRUE(text.outcome.overflowed);
  EXPECT_EQ(text.outcome.length, kLargestText - 1);
}

TEST(WideCut, NeverKeepsTheFirstHalfOfASurrogatePair) {
  const wchar_t text[] = {L'a', L'b', 0xD83D, 0xDE00, 0};
  EXPECT_EQ(WholeWideLength(text, 4), 4u);
  EXPECT_EQ(WholeWideLength(text, 3), 2u);
  EXPECT_EQ(WholeWideLength(text, 2), 2u);
  EXPECT_EQ(WholeWideLength(text, 0), 0u);
}

// The room wide text with an exact-text block asks for at most: per unit two bytes of ANSI text
// and three of UTF-8 (one where the ANSI code page is UTF-8 itself: three and no copy), the NUL and
// the 13-byte footer.
TEST(BufferGrowth, ExactTextNeedCoversTheWorstCaseOfEitherCodePage) {
  const struct {
    std::uint32_t units;
    bool utf8Page;
    std::uint64_t need;
  } cases[] = {{0, false, 14}, {1, false, 19}, {1000, false, 5014}, {0, true, 14}, {1, true, 17}, {1000, true, 3014}};
  for (const auto& c : cases) EXPECT_EQ(ExactTextNeed(c.units, c.utf8Page), c.need) << c.units << " " << c.utf8Page;
}

// A cut that makes text fit keeps the share of it that fits, and always less than before.
TEST(BufferGrowth, ShareThatFitsShrinksEveryTime) {
  const struct {
    std::uint32_t length;
    std::uint64_t need;
    std::uint64_t room;
    std::uint32_t share;
  } cases[] = {
      {1000, 2000, 1000, 500}, {1000, 3001, 1000, 333}, {10, 11, 10, 9}, {10, 10000, 1, 0},
      {1000, 1001, 1000, 999},  // the share rounds to fewer units still
      {1, 2, 1, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShareThatFits(c.length, c.need, c.room), c.share) << c.length << " " << c.need << " " << c.room;
  }
}

}  // namespace
}  // namespace tellit::testing
