// The channel name on the real platform: a mailslot made from it takes whole datagrams from a writer.
#include "channel/channel.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

TEST(ChannelMailslot, WriterReachesTheOwnerThroughTheSharedName) {
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  HANDLE slot = CreateMailslotA(name, 0, MAILSLOT_WAIT_FOREVER, nullptr);
  ASSERT_NE(slot, INVALID_HANDLE_VALUE) << GetLastError();

  HANDLE writer = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE) << GetLastError();
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer, channel::kOpenBanner, channel::kOpenBannerBytes, &written, nullptr));
  EXPECT_EQ(written, channel::kOpenBannerBytes);

  DWORD next = 0;
  ASSERT_TRUE(GetMailslotInfo(slot, nullptr, &next, nullptr, nullptr));
  ASSERT_EQ(next, channel::kOpenBannerBytes);
  char buffer[64] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(slot, buffer, next, &read, nullptr));
  EXPECT_EQ(read, channel::kOpenBannerBytes);
  EXPECT_EQ(std::memcmp(buffer, channel::kOpenBanner, channel::kOpenBannerBytes), 0);
  ASSERT_TRUE(GetMailslotInfo(slot, nullptr, &next, nullptr, nullptr));
  EXPECT_EQ(next, MAILSLOT_NO_MESSAGE);

  CloseHandle(writer);
  CloseHandle(slot);
}
