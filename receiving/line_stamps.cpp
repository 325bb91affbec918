// The time-stamp rule: the stamp text and the line state that decides where stamps go.
#include "receiving/line_stamps.h"

#include <algorithm>

namespace line_stamps {

namespace {

constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kLf = 0x0A;

void PutDigits(char* out, int value, int digits, int maximum) {
  value = std::min(std::max(value, 0), maximum);
  for (int i = digits - 1; i >= 0; --i) {
    out[i] = char('0' + value % 10);
    value /= 10;
  }
}

}  // namespace

void FormatStamp(const ClockTime& time, char (&out)[kStampLength + 1]) {
  PutDigits(out, time.hour, 2, 23);
  out[2] = ':';
  PutDigits(out + 3, time.minute, 2, 59);
  out[5] = ':';
  PutDigits(out + 6, time.second, 2, 59);
  out[8] = '.';
  PutDigits(out + 9, time.millisecond, 3, 999);
  out[12] = ' ';
  out[13] = '\0';
}

bool LineStamper::Step(Position& position, uint8_t byte) {
  bool begins = false;
  switch (position) {
    case Position::kLineStart:
      begins = true;
      break;
    case Position::kInLine:
      break;
    case Position::kAfterCr:
    case Position::kAfterLf: {
      const uint8_t partner = position == Position::kAfterCr ? kLf : kCr;
      if (byte == partner) {
        position = Position::kLineStart;  // the second half of the line end
        return false;
      }
      begins = true;  // a lone CR or LF ended the line
      break;
    }
  }
  position = byte == kCr ? Position::kAfterCr : byte == kLf ? Position::kAfterLf : Position::kInLine;
  return begins;
}

bool LineStamper::Begins(Position position, uint8_t byte) {
  Position copy = position;
  return Step(copy, byte);
}

size_t LineStamper::LinesBegun(const uint8_t* text, size_t length) const {
  Position position = position_;
  size_t lines = 0;
  for (size_t i = 0; i < length; ++i) lines += Step(position, text[i]) ? 1 : 0;
  return lines;
}

void LineStamper::Stamp(const uint8_t* text, size_t length, const char* stamp, std::vector<uint8_t>& out) {
  size_t copied = 0;  // the text before this index is in out
  for (size_t i = 0; i < length; ++i) {
    if (!Step(position_, text[i])) continue;
    out.insert(out.end(), text + copied, text + i);
    out.insert(out.end(), stamp, stamp + kStampLength);
    copied = i;
  }
  out.insert(out.end(), text + copied, text + length);
}

void LineStamper::Follow(const uint8_t* text, size_t length) {
  for (size_t i = 0; i < length; ++i) Step(position_, text[i]);
}

}  // namespace line_stamps
