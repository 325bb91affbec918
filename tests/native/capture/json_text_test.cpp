// JSON string escaping: every character JSON requires escaped, and nothing else touched.
#include <gtest/gtest.h>

#include <string>

#include "capture/json_text.h"

namespace {

std::string Json(const std::string& text) {
  std::string out = "prefix:";
  capture::AppendJsonString(out, text);
  EXPECT_EQ(out.compare(0, 7, "prefix:"), 0) << "appends, never replaces";
  return out.substr(7);
}

TEST(JsonString, EscapesWhatJsonRequires) {
  const struct {
    const char* name;
    std::string text;
    std::string json;
  } cases[] = {
      {"empty", "", "\"\""},
      {"plain", "abc 123", "\"abc 123\""},
      {"quote", "say \"hi\"", "\"say \\\"hi\\\"\""},
      {"backslash", "C:\\dir\\", "\"C:\\\\dir\\\\\""},
      {"short escapes", "\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
      {"other control characters", "\x01\x1F", "\"\\u0001\\u001f\""},
      {"NUL", std::string("a\0b", 3), "\"a\\u0000b\""},
      {"DEL", "\x7F", "\"\\u007f\""},
      {"slash stays", "a/b", "\"a/b\""},
      {"UTF-8 passes unchanged", "\xE8\xA1\xA8\xE3\x82\xBD", "\"\xE8\xA1\xA8\xE3\x82\xBD\""},
      {"U+FFFD passes unchanged", "\xEF\xBF\xBD", "\"\xEF\xBF\xBD\""},
      {"CR LF line end", "line\r\n", "\"line\\r\\n\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Json(c.text), c.json) << c.name;
  }
}

TEST(JsonString, NoRawControlByteOrUnescapedQuoteEverLeaves) {
  for (int byte = 0; byte < 0x80; ++byte) {
    const std::string json = Json(std::string(1, static_cast<char>(byte)));
    ASSERT_GE(json.size(), 3u);
    const std::string inner = json.substr(1, json.size() - 2);
    for (const char c : inner) {
      EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << "byte " << byte;
    }
    if (byte == '"' || byte == '\\') EXPECT_EQ(inner, std::string("\\") + static_cast<char>(byte));
    if (inner.size() > 1) EXPECT_EQ(inner[0], '\\') << "byte " << byte << " grew without an escape";
  }
}

}  // namespace
