// What an opened file is taken for from its first bytes: JSON lines or text, UTF-8 or ANSI, binary.
#include <gtest/gtest.h>

#include <string>

#include "monitor/files/command_line.h"
#include "monitor/files/file_kind.h"

namespace {

TEST(FileKind, JudgedFromTheFirstBytes) {
  const struct {
    std::string sample;
    bool whole;
    FileFormat format;
    TextEncoding encoding;
    size_t mark;
    bool binary;
  } cases[] = {
      {"plain log line\r\nnext\r\n", true, FileFormat::kText, TextEncoding::kAnsi, 0, false},
      {"", true, FileFormat::kText, TextEncoding::kAnsi, 0, false},
      {"\xEF\xBB\xBFwith a mark\r\n", true, FileFormat::kText, TextEncoding::kUtf8, 3, false},
      {"\xE6\x97\xA5\xE6\x9C\xAC\r\n", true, FileFormat::kText, TextEncoding::kUtf8, 0, false},
      {"\x93\xFA\x96\x7B\r\n", true, FileFormat::kText, TextEncoding::kAnsi, 0, false},  // cp932 bytes
      {"caf\xE9\r\n", true, FileFormat::kText, TextEncoding::kAnsi, 0, false},           // cp1252 bytes
      {"\xC0\xAF overlong", true, FileFormat::kText, TextEncoding::kAnsi, 0, false},
      {"\xED\xA0\x80 surrogate", true, FileFormat::kText, TextEncoding::kAnsi, 0, false},
      // A character cut at the end of a sample that is not the whole file still counts as UTF-8.
      {"ok \xE6\x97", false, FileFormat::kText, TextEncoding::kUtf8, 0, false},
      {"ok \xE6\x97", true, FileFormat::kText, TextEncoding::kAnsi, 0, false},
      {std::string("bin\0ary", 7), true, FileFormat::kText, TextEncoding::kAnsi, 0, true},
      {"{\"time\":\"2024-05-06T07:08:09.123Z\",\"source\":\"tellit\",\"text\":\"a\"}\n", true, FileFormat::kJsonLines,
       TextEncoding::kUtf8, 0, false},
      {"\n  \n{\"time\":\"2024-05-06T07:08:09.123Z\",\"text\":\"a\"}", true, FileFormat::kJsonLines,
       TextEncoding::kUtf8, 0, false},
      {"\xEF\xBB\xBF{\"time\":\"2024-05-06T07:08:09.123Z\",\"text\":\"a\"}\r\n", true, FileFormat::kJsonLines,
       TextEncoding::kUtf8, 3, false},
      {"{\"not\":\"a record\"}\n{\"time\":\"2024-05-06T07:08:09.123Z\",\"text\":\"a\"}\n", true, FileFormat::kText,
       TextEncoding::kAnsi, 0, false},
      // A first line longer than the sample is judged as text.
      {"{\"time\":\"2024-05-06T07:08:09.123Z\",\"text\":\"a", false, FileFormat::kText, TextEncoding::kAnsi, 0, false},
  };
  for (const auto& c : cases) {
    const FileKind kind =
        DetectFileKind(reinterpret_cast<const uint8_t*>(c.sample.data()), c.sample.size(), c.whole);
    EXPECT_EQ(kind.format, c.format) << c.sample;
    EXPECT_EQ(kind.encoding, c.encoding) << c.sample;
    EXPECT_EQ(kind.byteOrderMark, c.mark) << c.sample;
    EXPECT_EQ(kind.binary, c.binary) << c.sample;
  }
}

TEST(FileKind, Utf8Validity) {
  const struct {
    const char* bytes;
    bool valid;
  } cases[] = {
      {"ascii", true},
      {"\xC2\x80", true},
      {"\xDF\xBF", true},
      {"\xE0\xA0\x80", true},
      {"\xEF\xBF\xBF", true},
      {"\xF0\x90\x80\x80", true},
      {"\xF4\x8F\xBF\xBF", true},
      {"\xC1\xBF", false},          // overlong
      {"\xE0\x9F\xBF", false},      // overlong
      {"\xED\xBF\xBF", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xF5\x80\x80\x80", false},
      {"\x80", false},
      {"\xC2", false},  // cut, and not allowed to be
      {"\xE6\x97x", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidUtf8(reinterpret_cast<const uint8_t*>(c.bytes), std::char_traits<char>::length(c.bytes), false),
              c.valid)
        << c.bytes;
  }
}

}  // namespace

namespace {

TEST(CommandLineFile, FirstArgumentWithoutItsQuotes) {
  const struct {
    const char* line;
    const char* file;
  } cases[] = {
      {"", ""},
      {"   ", ""},
      {"capture.jsonl", "capture.jsonl"},
      {"  run.log  ", "run.log"},
      {"\"C:\\my logs\\run.log\"", "C:\\my logs\\run.log"},
      {"C:\\my\" \"logs\\run.log other", "C:\\my logs\\run.log"},
      {"first second", "first"},
      {"\"unclosed name", "unclosed name"},
  };
  for (const auto& c : cases) EXPECT_EQ(FileOfCommandLine(c.line), c.file) << c.line;
}

}  // namespace
