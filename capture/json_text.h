// JSON string escaping for the JSON output of tellitcap.
#pragma once

#include <string>

namespace capture {

// Appends utf8 as a JSON string, quotes included: the quote and the backslash escaped, every
// control character below U+0020 escaped (\b \f \n \r \t, else \u00XX), DEL too (\u007F), so a
// line never carries a raw control byte. Bytes of 0x80 and above pass as they are: the text is
// UTF-8 already (AnsiToUtf8 made it so).
void AppendJsonString(std::string& out, const std::string& utf8);

}  // namespace capture
