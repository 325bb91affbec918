// A recorded stream of messages, taken by the monitor with each setting of View > Senders and View >
// Time Stamps: the log holds the bytes it held before the console kept records and drew the rest
// itself (data/recorded_stream.txt, written by the monitor of then), and the console draws what
// the log holds.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "monitor/app/monitor_app.h"
#include "support/recorded_stream.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"
#include "tests/support/stored_text.h"

namespace {

// A message without a sender's time is stamped with the time it was taken: once the time of the
// call that took it, now the arrival time the receiver gave it (01:02:03.5xx here, a moment
// earlier in a live monitor). Both read "now", as do the notices the monitor makes itself.
std::string Steady(const std::string& text) {
  static const std::regex kTakenStamp("(01:02:03\\.5[0-9]{2}|(?!01:02:03\\.)[0-2][0-9]:[0-5][0-9]:[0-5][0-9]\\.[0-9]{3}) ");
  return std::regex_replace(text, kTakenStamp, "<now> ");
}

TEST(RecordedStream, TheLogKeepsItsBytesAndTheConsoleDrawsThemForEverySetting) {
  const HWND parent = CreateWindowExA(0, "STATIC", "stream", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  ScratchDir dir;
  std::string all;
  for (int setting = 0; setting < 4; ++setting) {
    const bool senders = (setting & 1) != 0, stamps = (setting & 2) != 0;
    std::string logged;
    std::string drawn;
    {
      IntakeOptions options;
      options.readOnThread = false;
      MonitorApp app(options);
      ASSERT_EQ(app.liveConsole().Create(parent), 1);
      app.messageView().AllocateConvertBuffer();
      app.viewFlags().gutter().senders = senders;
      app.viewFlags().gutter().stamps = stamps;
      const std::string log = dir.File("stream" + std::to_string(setting) + ".log");
      ASSERT_TRUE(app.log().file().Open(log.c_str(), CREATE_ALWAYS));
      int n = 0;
      for (const Recorded& r : kStream) app.messageView().Take(r.AsMessage(n++));
      app.log().file().Close();
      logged = ReadWholeFile(log);
      drawn = DrawnText(app.liveConsole().view);
      DestroyWindow(app.liveConsole().window);
    }
    if (!senders) {
      // A message that goes on a line another began shows its sender in the log alone, which
      // is why only this setting draws the log's bytes exactly.
      EXPECT_EQ(drawn, logged) << "senders " << senders << ", stamps " << stamps;
    }
    all += "== senders " + std::to_string(senders) + ", stamps " + std::to_string(stamps) + "\n" + Steady(logged);
  }
  DestroyWindow(parent);
  const char* record = std::getenv("VIGILO_RECORD_STREAM");
  if (record && *record) {
    std::ofstream(record, std::ios::binary) << all;
    GTEST_FAIL() << "recorded to " << record << ": a recording run is no test";
  }
  // The build copies the recording beside the test.
  const std::string expected = ReadWholeFile(BinDirectory() + "\\recorded_stream.txt");
  ASSERT_FALSE(expected.empty()) << "no recording beside the test in " << BinDirectory();
  EXPECT_EQ(all, expected);
}

}  // namespace
