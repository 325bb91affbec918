// Records of the JSON lines: what a line reads as, what is malformed, and what written reads back.
#include <gtest/gtest.h>

#include <string>

#include "json_lines/record.h"

namespace {

using json_lines::ReadResult;
using json_lines::Record;
using json_lines::Source;

TEST(JsonRecord, LinesRead) {
  const struct {
    const char* line;
    Source source;
    bool hasPid;
    uint32_t pid;
    const char* program;
    bool hasSender;
    uint32_t tid, seq;
    uint32_t lost;
    bool notice, cut;
    const char* text;
  } cases[] = {
      // What tellitcap writes.
      {R"({"time":"2024-05-06T07:08:09.123Z","source":"tellit","pid":42,"tid":7,"seq":3,"sent":"2024-05-06T07:08:09.120Z","text":"hello\r\n"})",
       Source::kTellit, true, 42, "", true, 7, 3, 0, false, false, "hello\r\n"},
      {R"({"time":"2024-05-06T07:08:09.123Z","source":"debug","pid":9,"text":"out"})",
       Source::kDebugOutput, true, 9, "", false, 0, 0, 0, false, false, "out"},
      {R"({"time":"2024-05-06T07:08:09.123Z","source":"debug-output-global","pid":9,"cut":true,"text":"x"})",
       Source::kDebugOutputGlobal, true, 9, "", false, 0, 0, 0, false, true, "x"},
      {R"({"time":"2024-05-06T07:08:09.123Z","source":"tellit","lost":5,"pid":12})",
       Source::kTellit, true, 12, "", false, 0, 0, 5, false, false, ""},
      // What the monitor adds: the program and the notices.
      {R"({"time":"2024-05-06T07:08:09.123Z","source":"tellit","pid":1,"program":"a b.exe","kind":"notice","text":"n"})",
       Source::kTellit, true, 1, "a b.exe", false, 0, 0, 0, true, false, "n"},
      // Any order, blanks, unknown keys with nested values, escapes.
      {" { \"text\" : \"\\u65e5\\ud83d\\ude00\\t\\\"\\\\\\/\" , \"extra\":{\"a\":[1,2.5e3,{\"b\":null}]}, "
       "\"time\":\"2024-05-06T07:08:09.123Z\" }\r",
       Source::kTellit, false, 0, "", false, 0, 0, 0, false, false,
       "\xE6\x97\xA5\xF0\x9F\x98\x80\t\"\\/"},
      {R"({"time":"2024-05-06T07:08:09.123Z","text":"\udc00"})", Source::kTellit, false, 0, "",
       false, 0, 0, 0, false, false, "\xEF\xBF\xBD"},  // a lone surrogate
  };
  for (const auto& c : cases) {
    Record record;
    ASSERT_EQ(json_lines::ReadRecord(c.line, record), ReadResult::kRecord) << c.line;
    EXPECT_EQ(record.source, c.source) << c.line;
    EXPECT_EQ(record.hasProcessId, c.hasPid) << c.line;
    EXPECT_EQ(record.processId, c.pid) << c.line;
    EXPECT_EQ(record.program, c.program) << c.line;
    EXPECT_EQ(record.hasSender, c.hasSender) << c.line;
    EXPECT_EQ(record.threadId, c.tid) << c.line;
    EXPECT_EQ(record.sequence, c.seq) << c.line;
    EXPECT_EQ(record.lost, c.lost) << c.line;
    EXPECT_EQ(record.notice, c.notice) << c.line;
    EXPECT_EQ(record.cut, c.cut) << c.line;
    EXPECT_EQ(record.text, c.text) << c.line;
  }
  const struct {
    const char* line;
    ReadResult result;
  } others[] = {
{"", ReadResult::kBlank},
      {" \t\r", ReadResult::kBlank},
      {"plain text", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z"})", ReadResult::kMalformed},  // neither text nor lost
      {R"({"text":"no time"})", ReadResult::kMalformed},
      {R"({"time":"yesterday","text":"x"})", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z","source":"mail","text":"x"})", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z","pid":"12","text":"x"})", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z","pid":-1,"text":"x"})", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z","pid":4294967296,"text":"x"})", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z","pid":1.5,"text":"x"})", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z","cut":1,"text":"x"})", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z","text":"x"} trailing)", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z","text":"x")", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z","text":"x\q"})", ReadResult::kMalformed},
      {"{\"time\":\"2024-05-06T07:08:09.123Z\",\"text\":\"raw\ttab\"}", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z","text":"\u12"})", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z","x":[1,2,"text":"y"})", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z","x":tru,"text":"y"})", ReadResult::kMalformed},
      {R"({"time":"2024-05-06T07:08:09.123Z" "text":"y"})", ReadResult::kMalformed},
  };
  for (const auto& c : others) {
    Record record;
    EXPECT_EQ(json_lines::ReadRecord(c.line, record), c.result) << c.line;
  }
}

TEST(JsonRecord, NestingTooDeepIsMalformedNotACrash) {
  std::string line = R"({"time":"2024-05-06T07:08:09.123Z","x":)";
  line += std::string(100000, '[');
  line += std::string(100000, ']');
  line += R"(,"text":"y"})";
  Record record;
  EXPECT_EQ(json_lines::ReadRecord(line, record), ReadResult::kMalformed);
}

// Every field written reads back the same, control bytes and non-ASCII text among them.
TEST(JsonRecord, WrittenRecordsReadBack) {
  Record sender;
  sender.time = {2025, 2, 3, 4, 5, 6, 7};
  sender.processId = 4000000000u;
  sender.hasProcessId = true;
  sender.program = "t\"x\".exe";
  sender.hasSender = true;
  sender.threadId = 77;
  sender.sequence = 0;
  sender.sent = {2025, 2, 3, 4, 5, 6, 1};
  sender.cut = true;
  sender.text = std::string("a\x01\x7F\r\n\xE3\x81\x82", 8);
  Record notice;
  notice.source = Source::kDebugOutputGlobal;
  notice.notice = true;
  notice.text = "";
  Record lost;
  lost.lost = 3;
  lost.processId = 5;
  lost.hasProcessId = true;
  for (const Record& written : {sender, notice, lost}) {
    std::string line;
    json_lines::AppendRecord(line, written);
    ASSERT_EQ(line.back(), '\n');
    ASSERT_EQ(line.find('\n'), line.size() - 1) << "one line: " << line;
    Record read;
    ASSERT_EQ(json_lines::ReadRecord(std::string_view(line).substr(0, line.size() - 1), read), ReadResult::kRecord)
        << line;
    EXPECT_EQ(read.source, written.source);
    EXPECT_EQ(read.processId, written.processId);
    EXPECT_EQ(read.hasProcessId, written.hasProcessId);
    EXPECT_EQ(read.program, written.program);
    EXPECT_EQ(read.hasSender, written.hasSender);
    EXPECT_EQ(read.threadId, written.threadId);
    EXPECT_EQ(read.sequence, written.sequence);
    EXPECT_EQ(json_lines::FormatIso8601(read.sent), json_lines::FormatIso8601(written.sent));
    EXPECT_EQ(json_lines::FormatIso8601(read.time), json_lines::FormatIso8601(written.time));
    EXPECT_EQ(read.lost, written.lost);
    EXPECT_EQ(read.notice, written.notice);
    EXPECT_EQ(read.cut, written.cut);
    EXPECT_EQ(read.text, written.text);
  }
}

}  // namespace
