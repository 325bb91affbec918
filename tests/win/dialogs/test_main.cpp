// Entry point of the in-process monitor dialog tests: common controls first, as the monitor does.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  InitCommonControls();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
