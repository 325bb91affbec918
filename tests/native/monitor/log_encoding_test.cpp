// The log's encoding as the settings file says it, and a message's line in a UTF-8 log.
#include "monitor/log/log_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LogEncoding, OnlyOneIsUtf8AndEverythingElseTheDefault) {
  EXPECT_EQ(LogEncodingOf(1), LogEncoding::kUtf8);
  for (int value : {0, 2, -1, 65001}) EXPECT_EQ(LogEncodingOf(value), LogEncoding::kAnsiCodePage) << value;
}

TEST(LogEncoding, Utf8LinesFollowTheLineEndRuleAfterTheirPrefix) {
  const struct {
    const char* name;
    std::string prefix;
    std::string utf8;
    bool cut;
    std::string line;
  } cases[] = {
      {"a line", "", "\xCE\x95\xCE\xBB\n", false, "\xCE\x95\xCE\xBB\r\n"},
      {"after the sender", "[7 a.exe] ", "\xE6\x97\xA5\r", false, "[7 a.exe] \xE6\x97\xA5\r\n"},
      {"lines within", "", "a\nb\r\nc", false, "a\r\nb\r\nc"},
      {"a cut text ends its line", "", "\xF0\x9F\x98\x80", true, "\xF0\x9F\x98\x80\r\n"},
      {"a cut text that ended one", "", "x\n", true, "x\r\n"},
      {"nothing", "", "", false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LogLineInUtf8(c.prefix, reinterpret_cast<const uint8_t*>(c.utf8.data()), c.utf8.size(), c.cut), c.line)
        << c.name;
  }
}

}  // namespace
