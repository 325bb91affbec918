// The channel constants both ends rely on: the local mailslot name and the fixed datagram sizes.
#include "channel/channel.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Channel, NameIsTheLocalMailslotOfTheMonitor) {
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  EXPECT_STREQ(name, "\\\\.\\mailslot\\tellit_monitor");
}

TEST(Channel, FixedDatagramsEndInOneLineFeed) {
  EXPECT_EQ(std::strlen(channel::kOpenBanner) + 1, channel::kOpenBannerBytes);
  EXPECT_EQ(std::strlen(channel::kOverflowNotice) + 1, channel::kOverflowNoticeBytes);
  EXPECT_EQ(channel::kOpenBanner[channel::kOpenBannerBytes - 2], '\n');
  EXPECT_EQ(channel::kOverflowNotice[channel::kOverflowNoticeBytes - 2], '\n');
}
