// The time-stamp rule: the stamp text and the line state that decides where stamps go.
#include "receiving/line_stamps.h"

#include <algorithm>
#include <string>

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

size_t StampWidth(StampForm form) {
  switch (form) {
    case StampForm::kDate: return 24;
    case StampForm::kElapsed:
    case StampForm::kDelta: return 12;
    case StampForm::kClock: break;
  }
  return kStampLength;
}

namespace {

// Seconds with milliseconds, right-aligned in 11 characters and a blank: " 12.345 ", "+0.200 ".
void AppendSeconds(int64_t filetimeUnits, bool sign, std::string& out) {
  const bool negative = filetimeUnits < 0;
  const uint64_t ms = (negative ? 0 - uint64_t(filetimeUnits) : uint64_t(filetimeUnits)) / 10000;
  std::string number = std::to_string(ms / 1000) + '.';
  const uint64_t fraction = ms % 1000;
  number += char('0' + fraction / 100);
  number += char('0' + fraction / 10 % 10);
  number += char('0' + fraction % 10);
  if (negative) number.insert(0, 1, '-');
  else if (sign) number.insert(0, 1, '+');
  if (number.size() < 11) out.append(11 - number.size(), ' ');
  out += number;
  out += ' ';
}

}  // namespace

void AppendStamp(StampForm form, const ClockTime& local, int64_t sinceOrigin, int64_t sincePrevious,
                 std::string& out) {
  char clock[kStampLength + 1];
  switch (form) {
    case StampForm::kElapsed:
      AppendSeconds(sinceOrigin, false, out);
      return;
    case StampForm::kDelta:
      AppendSeconds(sincePrevious, true, out);
      return;
    case StampForm::kDate: {
      char date[12];
      PutDigits(date, local.year, 4, 9999);
      date[4] = '-';
      PutDigits(date + 5, local.month, 2, 12);
      date[7] = '-';
      PutDigits(date + 8, local.day, 2, 31);
      date[10] = ' ';
      out.append(date, 11);
      break;
    }
    case StampForm::kClock:
      break;
  }
  FormatStamp(local, clock);
  out.append(clock, kStampLength);
}

MessageStamps StampsOf(const StampStyle& style, const ClockTime& local, uint64_t time, uint64_t previous) {
  MessageStamps stamps;
  const int64_t sinceOrigin = int64_t(time - style.origin);
  AppendStamp(style.form, local, sinceOrigin, int64_t(time - previous), stamps.first);
  if (style.form == StampForm::kDelta) AppendStamp(style.form, local, sinceOrigin, 0, stamps.rest);
  else stamps.rest = stamps.first;
  return stamps;
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

void LineStamper::Stamp(const uint8_t* text, size_t length, const std::string& stamp, std::vector<uint8_t>& out) {
  Stamp(text, length, stamp, stamp, out);
}

void LineStamper::Stamp(const uint8_t* text, size_t length, const std::string& first, const std::string& rest,
                        std::vector<uint8_t>& out) {
  size_t copied = 0;  // the text before this index is in out
  bool firstDone = false;
  for (size_t i = 0; i < length; ++i) {
    if (!Step(position_, text[i])) continue;
    out.insert(out.end(), text + copied, text + i);
    const std::string& stamp = firstDone ? rest : first;
    out.insert(out.end(), stamp.begin(), stamp.end());
    firstDone = true;
    copied = i;
  }
  out.insert(out.end(), text + copied, text + length);
}

void LineStamper::Follow(const uint8_t* text, size_t length) {
  for (size_t i = 0; i < length; ++i) Step(position_, text[i]);
}

}  // namespace line_stamps
