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

}  // namespace
}  // namespace tellit::testing
