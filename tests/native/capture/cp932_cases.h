// Hard cases of code page 932 (Shift-JIS) for the UTF-8 step of the JSON output: the bytes a
// program sends and the UTF-8 that must come out. Shared by the native tests (a table decoder)
// and the Win32 tests (the system's own code page 932), so the table is checked against both.
#pragma once

#include <string>

namespace capture_cases {

struct Cp932Case {
  const char* name;
  std::string bytes;  // as sent, in code page 932
  std::string utf8;   // as the JSON text must carry it
};

// U+FFFD in UTF-8.
#define CAPTURE_FFFD "\xEF\xBF\xBD"

inline const Cp932Case kCp932Cases[] = {
    {"ASCII passes unchanged", "plain text 123", "plain text 123"},
    {"0x5C trail byte of \xE8\xA1\xA8 is no backslash", "\x95\x5C\x8E\xA6", "\xE8\xA1\xA8\xE7\xA4\xBA"},
    {"0x5C trail byte of \xE3\x82\xBD", "\x83\x5C", "\xE3\x82\xBD"},
    {"0x5C trail byte before a quote", "\x83\x5C\"", "\xE3\x82\xBD\""},
    {"lead 0x81 with 0x5C trail is U+2015", "\x81\x5C", "\xE2\x80\x95"},
    {"full-width reverse solidus", "\x81\x5F", "\xEF\xBC\xBC"},
    {"kanji and a line feed", "\x93\xFA\x96\x7B\x8C\xEA\n", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\n"},
    {"half-width katakana is one byte", "\xB1", "\xEF\xBD\xB1"},
    {"hiragana between ASCII", "a\x82\xA0z", "a\xE3\x81\x82z"},
    {"a lead byte at the end stands alone", "ab\x95", "ab" CAPTURE_FFFD},
    {"a lead byte before a space: the space is kept", "\x81 x", CAPTURE_FFFD " x"},
    {"a lead byte before a line feed: the line feed is kept", "\x93\n", CAPTURE_FFFD "\n"},
    {"an unassigned pair: the lead byte is replaced, the trail byte read again", "\x85\x40!", CAPTURE_FFFD "@!"},
    {"valid text after an invalid byte decodes", "\x81 \x93\xFA", CAPTURE_FFFD " \xE6\x97\xA5"},
    {"a lead byte can be a trail byte too", "\x93\x93", "\xE6\xB6\x9B"},
    {"control characters pass to the escaper", "\t\x01\x1F", "\t\x01\x1F"},
};

}  // namespace capture_cases
