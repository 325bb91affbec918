// The two forms tellitcap writes a message in: the monitor's text with its line-end rule, and
// the JSON line with its time stamp, source, process id and decoded text.
#include <gtest/gtest.h>

#include <string>

#include "capture/record_format.h"

namespace {

using capture::CapturedMessage;
using capture::Source;
using capture::UtcTime;

UtcTime Time(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  UtcTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = hour;
  time.minute = minute;
  time.second = second;
  time.millisecond = millisecond;
  return time;
}

TEST(Iso8601, EveryFieldPaddedToItsWidth) {
  const struct {
    UtcTime time;
    const char* text;
  } cases[] = {
      {Time(2024, 5, 6, 7, 8, 9, 123), "2024-05-06T07:08:09.123Z"},
      {Time(2024, 12, 31, 23, 59, 59, 999), "2024-12-31T23:59:59.999Z"},
      {Time(2025, 1, 1, 0, 0, 0, 0), "2025-01-01T00:00:00.000Z"},
      {Time(2025, 1, 1, 0, 0, 0, 7), "2025-01-01T00:00:00.007Z"},
      {Time(999, 1, 1, 0, 0, 0, 50), "0999-01-01T00:00:00.050Z"},
      {Time(0, 1, 1, 0, 0, 0, 0), "0000-01-01T00:00:00.000Z"},
      {Time(9999, 99, 99, 99, 99, 99, 999), "9999-99-99T99:99:99.999Z"},
      {Time(10000, 1, 1, 0, 0, 0, 0), "10000-01-01T00:00:00.000Z"},
      {Time(2024, 5, 6, 7, 8, 9, 1000), "2024-05-06T07:08:09.1000Z"},
      {Time(-1, 1, 1, 0, 0, 0, 0), "-001-01-01T00:00:00.000Z"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(capture::FormatIso8601(c.time), c.text);
    std::string appended = "x";
    capture::AppendIso8601(appended, c.time);  // its own digits where it can, the same text
    EXPECT_EQ(appended, std::string("x") + c.text);
  }
}

// FILETIME values against the calendar: the epoch, leap days, a century that is no leap year and
// one that is, milliseconds kept and the 100 ns rest dropped.
TEST(Iso8601, FileTimesOnTheCalendar) {
  constexpr uint64_t kPerMs = 10000;
  constexpr uint64_t kUnixEpoch = 116444736000000000ull;  // 1970-01-01
  constexpr uint64_t kPerDay = 86400000ull * kPerMs;
  const struct {
    uint64_t fileTime;
    const char* text;
  } cases[] = {
      {0, "1601-01-01T00:00:00.000Z"},
      {kUnixEpoch, "1970-01-01T00:00:00.000Z"},
      {kUnixEpoch + 1714979289123ull * kPerMs + 9999, "2024-05-06T07:08:09.123Z"},
      {kUnixEpoch + 11016 * kPerDay, "2000-02-29T00:00:00.000Z"},
      {kUnixEpoch + 11017 * kPerDay - kPerMs, "2000-02-29T23:59:59.999Z"},
      {kUnixEpoch + 47541 * kPerDay, "2100-03-01T00:00:00.000Z"},
      {kUnixEpoch + 47540 * kPerDay, "2100-02-28T00:00:00.000Z"},
      {kUnixEpoch + 20818 * kPerDay + 86399999ull * kPerMs, "2026-12-31T23:59:59.999Z"},
  };
  for (const auto& c : cases) EXPECT_EQ(capture::FormatIso8601(capture::UtcFromFileTime(c.fileTime)), c.text);
}

TEST(PlainText, TheMonitorsLineEndRuleAppended) {
  const struct {
    const char* name;
    std::string text;
    std::string written;
  } cases[] = {
      {"banner", "<< open TELLIT monitor >>\n", "<< open TELLIT monitor >>\r\n"},
      {"lone CR and LF", "a\rb\nc", "a\r\nb\r\nc"},
      {"pairs kept", "a\r\nb\n\r", "a\r\nb\n\r"},
      {"only line feeds", "\n\n\n", "\r\n\r\n\r\n"},
      {"no line end", "half a line", "half a line"},
      {"empty", "", ""},
      {"Shift-JIS bytes pass", "\x95\x5C\n", "\x95\x5C\r\n"},
  };
  for (const auto& c : cases) {
    std::string out = "before|";
    capture::AppendPlainText(out, c.text.data(), c.text.size());
    EXPECT_EQ(out, "before|" + c.written) << c.name;
  }
}

TEST(JsonLine, SenderFieldsOfATellitMessageAndTheLossRecord) {
  CapturedMessage message;
  message.time = Time(2024, 5, 6, 7, 8, 9, 10);
  message.hasProcessId = true;
  message.processId = 300;
  message.hasSender = true;
  message.threadId = 301;
  message.sequence = 42;
  message.sent = Time(2024, 5, 6, 7, 8, 9, 8);
  message.text = "hi\n";
  message.length = 3;
  std::string out;
  capture::AppendJsonLine(out, message);
  EXPECT_EQ(out,
            "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"tellit\",\"pid\":300,\"tid\":301,\"seq\":42,"
            "\"sent\":\"2024-05-06T07:08:09.008Z\",\"text\":\"hi\\n\"}\n");
  message.cut = true;  // a text its sender cut, or one cut on reading
  out.clear();
  capture::AppendJsonLine(out, message);
  EXPECT_EQ(out,
            "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"tellit\",\"pid\":300,\"tid\":301,\"seq\":42,"
            "\"sent\":\"2024-05-06T07:08:09.008Z\",\"cut\":true,\"text\":\"hi\\n\"}\n");
  message.lost = 3;
  out.clear();
  capture::AppendJsonLine(out, message);
  EXPECT_EQ(out, "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"tellit\",\"lost\":3,\"pid\":300}\n");
}

TEST(JsonLine, FieldsInOrderAndPidOnlyForDebugOutput) {
  const UtcTime time = Time(2024, 5, 6, 7, 8, 9, 10);
  const struct {
    const char* name;
    Source source;
    bool hasProcessId;
    uint32_t processId;
    std::string text;
    std::string line;
  } cases[] = {
      {"a tellit message", Source::kTellit, false, 0, "msg 1\n",
       "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"tellit\",\"text\":\"msg 1\\n\"}\n"},
      {"debug output with its process id", Source::kDebugOutput, true, 4242, "dbg\r\n",
       "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"debug\",\"pid\":4242,\"text\":\"dbg\\r\\n\"}\n"},
      {"the largest process id", Source::kDebugOutput, true, 4294967295u, "x",
       "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"debug\",\"pid\":4294967295,\"text\":\"x\"}\n"},
      {"global debug output with its process id", Source::kDebugOutputGlobal, true, 616, "svc\n",
       "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"debug-output-global\",\"pid\":616,\"text\":\"svc\\n\"}\n"},
      {"a drop notice of global debug output", Source::kDebugOutputGlobal, false, 0, "<< 2 dropped >>\n",
       "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"debug-output-global\",\"text\":\"<< 2 dropped >>\\n\"}\n"},
      {"a drop notice of debug output has no process", Source::kDebugOutput, false, 0, "<< 3 dropped >>\n",
       "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"debug\",\"text\":\"<< 3 dropped >>\\n\"}\n"},
      {"a character beyond the BMP stays as it is", Source::kTellit, false, 0, "\xF0\x9F\x98\x80\x7F",
       "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"tellit\",\"text\":\"\xF0\x9F\x98\x80\\u007f\"}\n"},
      {"empty text", Source::kTellit, false, 0, "",
       "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"tellit\",\"text\":\"\"}\n"},
      {"a character beyond ASCII, quote and backslash", Source::kTellit, false, 0, "\xE3\x82\xBD\"\\",
       "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"tellit\",\"text\":\"\xE3\x82\xBD\\\"\\\\\"}\n"},
      {"U+FFFD and a control character", Source::kTellit, false, 0, "\xEF\xBF\xBD\x01",
       "{\"time\":\"2024-05-06T07:08:09.010Z\",\"source\":\"tellit\",\"text\":\"\xEF\xBF\xBD\\u0001\"}\n"},
  };
  for (const auto& c : cases) {
    CapturedMessage message;
    message.time = time;
    message.source = c.source;
    message.hasProcessId = c.hasProcessId;
    message.processId = c.processId;
    message.text = c.text.data();
    message.length = c.text.size();
    std::string out = "earlier line\n";
    capture::AppendJsonLine(out, message);
    EXPECT_EQ(out, "earlier line\n" + c.line) << c.name;
  }
}

}  // namespace
