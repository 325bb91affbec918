// The time-stamp rule of received text: "hh:mm:ss.mmm " before every line that begins while
// stamps are on. Portable: no Windows header, so the rule is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace line_stamps {

// "hh:mm:ss.mmm " with its space: 24-hour clock, milliseconds.
constexpr size_t kStampLength = 13;

struct ClockTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// Writes the stamp and a NUL; a field out of its range is clamped into it, so the stamp always
// has its 13 characters.
void FormatStamp(const ClockTime& time, char (&out)[kStampLength + 1]);

// Follows the line state of the text that goes to the console and the log, across messages. A
// line ends at CR or LF; a CR LF or LF CR pair is one line end, even when its halves come in two
// messages, as the console's store joins them. The first byte after a line end (or the first
// byte of all) begins a line: with stamps on, the stamp of the message that brings that byte
// goes before it. A line begun while stamps were off gets none when they are turned on.
class LineStamper {
 public:
  // Appends text to out with the stamp before each line that begins in it.
  void Stamp(const uint8_t* text, size_t length, const char* stamp, std::vector<uint8_t>& out);
  // Follows text that is shown unstamped (stamps off).
  void Follow(const uint8_t* text, size_t length);
  // How many lines begin in the text, from the current state: the stamps Stamp would insert.
  size_t LinesBegun(const uint8_t* text, size_t length) const;

 
  enum class Position : uint8_t { kLineStart, kInLine, kAfterCr, kAfterLf };
  // Moves past one byte; true when the byte begins a line.
  static bool Step(Position& position, uint8_t byte);
  // Whether the byte would begin a line, without moving.
  static bool Begins(Position position, uint8_t byte);

 private:
  Position position_ = Position::kLineStart;
};

}  // namespace line_stamps
