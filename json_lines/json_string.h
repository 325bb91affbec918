// JSON strings: escaping UTF-8 text into one, and reading one back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace json_lines {

// Appends utf8 as a JSON string, quotes included: the quote and the backslash escaped, every
// control character below U+0020 escaped (\b \f \n \r \t, else \u00XX), DEL too (\u007F), so a
// line never carries a raw control byte. Bytes of 0x80 and above pass as they are: the text is
// UTF-8 already.
void AppendJsonString(std::string& out, std::string_view utf8);

// Reads the JSON string that starts at text[at] (its opening quote) into `out` as UTF-8, every
// escape undone (\uXXXX with surrogate pairs; a lone surrogate becomes U+FFFD); `at` moves past
// the closing quote. False, `at` left anywhere, when it is no well-formed string.
bool ReadJsonString(std::string_view text, size_t& at, std::string& out);

}  // namespace json_lines
