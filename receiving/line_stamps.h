// The time-stamp rule of received text: a stamp before every line that begins while stamps are
// on, in one of four forms (the clock, date and clock, time elapsed, time since the line before).
// Portable: no Windows header, so the rule is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace line_stamps {

// "hh:mm:ss.mmm " with its space: 24-hour clock, milliseconds.
constexpr size_t kStampLength = 13;

struct ClockTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int year = 0, month = 0, day = 0;  // the date form's
};

// The stamp's forms, numbered as the settings file keeps them:
//   kClock    "hh:mm:ss.mmm "             the local time of day
//   kDate     "yyyy-mm-dd hh:mm:ss.mmm "  the local date and time of day
//   kElapsed  "      s.mmm "              seconds since the origin (start, or the last erase)
//   kDelta    "     +s.mmm "              seconds since the line before
enum class StampForm : int { kClock = 0, kDate = 1, kElapsed = 2, kDelta = 3 };
constexpr int kStampForms = 4;

// How stamps are made: the form, the origin of elapsed times, and which time a message is stamped
// with: the sender's where it has one, or always its arrival.
struct StampStyle {
  StampForm form = StampForm::kClock;
  uint64_t origin = 0;  // FILETIME, UTC
  bool arrival = false;
};

// The most bytes a stamp of the form takes (elapsed and delta times of up to 11 days).
size_t StampWidth(StampForm form);

// The two stamps of a message: before its first line begun (from the line before) and before its
// later lines (0 from its first in the delta form; the same as the first in the others).
struct MessageStamps {
  std::string first, rest;
};
MessageStamps StampsOf(const StampStyle& style, const ClockTime& local, uint64_t time, uint64_t previous);

// Appends the stamp, with its blank, of a time: `local` is its local clock time (clock and date
// forms), `sinceOrigin` and `sincePrevious` its distances in FILETIME units (elapsed and delta).
void AppendStamp(StampForm form, const ClockTime& local, int64_t sinceOrigin, int64_t sincePrevious,
                 std::string& out);

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
  void Stamp(const uint8_t* text, size_t length, const char* stamp, std::vector<uint8_t>& out) {
    Stamp(text, length, std::string(stamp, kStampLength), out);
  }
  // The same with a stamp of any form.
  void Stamp(const uint8_t* text, size_t length, const std::string& stamp, std::vector<uint8_t>& out);
  // With `first` before the first line begun in the text and `rest` before the others (a delta
  // from the line before: the message's later lines are 0 from its first).
  void Stamp(const uint8_t* text, size_t length, const std::string& first, const std::string& rest,
             std::vector<uint8_t>& out);
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
