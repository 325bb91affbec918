// A program linked against the import library libtellit.dll.a, calling tellitf, tellitwf and tellitu8f through tellit.h.
#include <windows.h>

#include <gtest/gtest.h>

#include "tellit.h"
#include "test_mailslot.h"

namespace tellit::testing {
namespace {

TEST(ImportLibrary, CallsThroughTheHeaderReachTheMonitor) {
  // The DLL loaded with the program; it connects on the first call, after the mailslot exists.
  TestMailslot mailslot;
  ASSERT_TRUE(mailslot.valid());
  EXPECT_EQ(tellitf("%s %d\n", "linked", 1), 10);
  EXPECT_EQ(tellitwf(L"%s %d\n", L"wide", 2), 8);
  EXPECT_EQ(tellitu8f("%s %d\n", "utf8", 3), 8);
  EXPECT_EQ(mailslot.Read(), Banner());
  EXPECT_TRUE(IsDatagram(mailslot.Read(), "linked 1\n"));
  EXPECT_TRUE(IsDatagram(mailslot.Read(), "wide 2\n"));
  EXPECT_TRUE(IsDatagram(mailslot.Read(), "utf8 3\n"));
}

}  // namespace
}  // namespace tellit::testing
