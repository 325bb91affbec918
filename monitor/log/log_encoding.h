// The log file's encoding: the ANSI code page (the log as it always was) or UTF-8 (every
// character), and the UTF-8 form of a message as the log shows it. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Saved as "log encoding" in section "log file" (settings_keys::kLogEncoding).
enum class LogEncoding : int { kAnsiCodePage = 0, kUtf8 = 1 };

// A value of the settings file as an encoding: anything but 1 is the ANSI code page, the default.
inline LogEncoding LogEncodingOf(int value) { return value == 1 ? LogEncoding::kUtf8 : LogEncoding::kAnsiCodePage; }

// The message as the log shows it, in UTF-8: `prefix` (already UTF-8), then the text with every
// lone CR or LF made CR LF, as the console's text is; a text that was cut ends its line.
std::string LogLineInUtf8(const std::string& prefix, const uint8_t* utf8, std::size_t length, bool cut);
