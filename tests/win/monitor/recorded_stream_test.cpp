// A recorded stream of messages, taken by the monitor with each setting of View > Senders and View >
// Time Stamps: the log holds the bytes it held before the console kept records and drew the rest
// itself (data/recorded_stream.log, written by the monitor of then), and the console draws what
// the log holds.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "monitor/app/monitor_app.h"
#include "receiving/message.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"
#include "tests/support/stored_text.h"

#ifndef VIGILO_SET_VIEW
#define VIGILO_SET_VIEW(app, senders, stamps) ((app).gutter.senders = (senders), (app).gutter.stamps = (stamps))
#endif

namespace {

// 01:02:03.<n> local time today, as a FILETIME: a stamp the test knows.
uint64_t LocalClock(int milliseconds) {
  SYSTEMTIME local = {};
  GetLocalTime(&local);
  local.wHour = 1;
  local.wMinute = 2;
  local.wSecond = 3;
  local.wMilliseconds = WORD(milliseconds);
  SYSTEMTIME utc = {};
  FILETIME time = {};
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &time)) return 0;
  return uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

struct Recorded {
  std::string text;
  MessageKind kind;
  MessageSource source;
  uint32_t pid;  // 0: no sender known
  bool trailer;
  uint64_t cutFrom;
  bool cut;
};

const std::vector<Recorded> kStream = {
    {"<< open TELLIT monitor >>\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"first line\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"part one ", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"part two\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"two\nlines\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"debug says hi\n", MessageKind::kText, MessageSource::kDebugOutput, 77, false, 0, false},
    {"<< 2 messages from [4242 a.exe] were lost >>\n", MessageKind::kLost, MessageSource::kTellit, 4242, true, 0,
     false},
    {"cut text without its end", MessageKind::kText, MessageSource::kTellit, 4242, true, 5000, true},
    {"anonymous\n", MessageKind::kText, MessageSource::kTellit, 0, false, 0, false},
    {"split\r", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"\nafter split\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"tab\there\r\n", MessageKind::kText, MessageSource::kDebugOutput, 78, false, 0, false},
    {"last\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
};

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

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
      MonitorApp app;
      app.readOnThread = false;
      ASSERT_EQ(app.console.Create(parent), 1);
      app.AllocateConvertBuffer();
      VIGILO_SET_VIEW(app, senders, stamps);
      const std::string log = dir.File("stream" + std::to_string(setting) + ".log");
      ASSERT_TRUE(app.logFile.Open(log.c_str(), CREATE_ALWAYS));
      int n = 0;
      for (const Recorded& r : kStream) {
        Message message;
        message.kind = r.kind;
        message.source = r.source;
        message.text = reinterpret_cast<const uint8_t*>(r.text.data());
        message.length = r.text.size();
        message.hasProcessId = r.pid != 0;
        message.processId = r.pid;
        message.program = r.pid == 4242 ? "a.exe" : r.pid != 0 ? "dbg.exe" : "";
        message.hasTrailer = r.trailer;
        message.sequence = uint32_t(n);
        message.sentTime = r.trailer ? LocalClock(100 + n) : 0;
        message.arrivalTime = LocalClock(500 + n);
        message.cutFrom = r.cutFrom;
        message.cut = r.cut;
        if (r.kind == MessageKind::kLost) message.lost = 2;
        app.Take(message);
        ++n;
      }
      app.logFile.Close();
      logged = ReadFileBytes(log);
      drawn = DrawnText(app.console.view);
      DestroyWindow(app.console.window);
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
  const std::string expected = ReadFileBytes(BinDirectory() + "\\recorded_stream.log");
  ASSERT_FALSE(expected.empty()) << "no recording beside the test in " << BinDirectory();
  EXPECT_EQ(all, expected);
}

}  // namespace
