// A long history end to end: vigilo.exe with a 64 MiB console takes a million numbered messages
// from a client through tellit.dll; All Copy holds every one in order, and the view scrolled to
// the top shows the first.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/clipboard.h"
#include "support/dialog_driver.h"
#include "support/screenshot.h"
#include "support/monitor_fixture.h"

namespace {

constexpr int kMessages = 1000000;

class HistoryEndToEnd : public MonitorFixture {};

TEST_F(HistoryEndToEnd, AMillionMessagesAllStayInOrderAndTheTopShowsTheFirst) {
  Start("[system]\r\nlanguage=0\r\n[console]\r\nbuffer size=65536\r\n");
  ChildProcess client(BinDirectory() + "\\monitor_e2e_client.exe lines " + std::to_string(kMessages) + " n", "");
  ASSERT_TRUE(client.started());
  ASSERT_EQ(client.Wait(600000), 0u) << "every call sent its message";
  ASSERT_TRUE(monitor().WaitForConsoleEnding("n " + std::to_string(kMessages - 1) + "\r\n", 120000));

  const std::vector<std::string> lines = Lines(monitor().ConsoleText());
  // The banner of the client's first message, then every message in order.
  size_t first = 0;
  while (first < lines.size() && lines[first] != "n 0") ++first;
  ASSERT_LT(first, lines.size()) << "message 0 is kept";
  ASSERT_EQ(lines.size() - first, size_t(kMessages));
  for (int i = 0; i < kMessages; ++i) {
    ASSERT_EQ(lines[first + size_t(i)], "n " + std::to_string(i)) << "line " << first + size_t(i);
  }

  // The top of the view: a drag over its first rows copies what they show.
  const HWND console = monitor().console();
  ASSERT_NE(console, nullptr);
  SendMessageA(console, WM_VSCROLL, SB_TOP, 0);
  UpdateWindow(console);  // the row table the drag hits comes from this paint
  RECT area = {};
  GetClientRect(console, &area);
  const int below = 3 + 24 * static_cast<int>(first + 2);  // past the row of message 0 at any font size here
  SendMessageA(console, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 3));
  SendMessageA(console, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(area.right - 2, below));
  SendMessageA(console, WM_LBUTTONUP, 0, MAKELPARAM(area.right - 2, below));
  ClearClipboard();
  monitor().Command(ID_EDIT_COPY);
  const std::vector<std::string> shown = Lines(ClipboardText());
  ASSERT_GT(shown.size(), first);
  EXPECT_EQ(shown[0], lines[0]) << "the top row shows the first line kept";
  EXPECT_EQ(shown[first], "n 0");
}

}  // namespace

namespace {

constexpr int kMessageBoxText = 0xFFFF;

// A console of 1 GiB: a 64-bit monitor has it; a 32-bit one keeps half its address space for
// everything else, says so once, and runs with 512 MiB or the largest size it could get.
TEST_F(HistoryEndToEnd, AConsoleTooLargeForTheMemoryIsToldOnceAndTheMonitorRunsSmaller) {
  Start("[system]\r\nlanguage=0\r\n[console]\r\nbuffer size=1048576\r\n");
  const HWND box = monitor().WaitForDialog([](HWND d) { return GetDlgItem(d, kMessageBoxText) != nullptr; },
                                           sizeof(void*) == 4 ? 10000 : 2000);
  if (sizeof(void*) == 4) {
    ASSERT_NE(box, nullptr) << "a 32-bit monitor is told";
    const std::string told = ControlText(box, kMessageBoxText);
    EXPECT_NE(told.find("1048576 KB"), std::string::npos) << told;
    EXPECT_NE(told.find("KB of messages instead"), std::string::npos) << told;
    EXPECT_TRUE(SaveScreenshot(box, "console-memory-short-en"));
    PostClick(box, IDOK);
    ASSERT_TRUE(monitor().WaitForNoDialog());
  } else {
    EXPECT_EQ(box, nullptr) << "a 64-bit monitor has its gibibyte";
  }
  ChildProcess client(BinDirectory() + "\\monitor_e2e_client.exe lines 3 still", "");
  ASSERT_EQ(client.Wait(30000), 0u);
  EXPECT_TRUE(monitor().WaitForConsoleEnding("still 2\r\n", 10000));
}

}  // namespace
