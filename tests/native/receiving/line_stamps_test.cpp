// The time-stamp rule: the stamp's form, and which lines get one, across messages and line ends
// split between them, with stamps turned on and off between messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiving/line_stamps.h"

namespace {

using line_stamps::ClockTime;
using line_stamps::LineStamper;

std::string StampOf(const ClockTime& time) {
  char stamp[line_stamps::kStampLength + 1];
  line_stamps::FormatStamp(time, stamp);
  return stamp;
}

// Each form of the stamp, with its blank: a whole width for the clock and the date, seconds
// right-aligned for the elapsed and delta times (a delta signed), milliseconds cut, never rounded.
TEST(LineStamps, EachFormWritesItsStamp) {
  const ClockTime local{13, 4, 5, 67, 2026, 12, 9};
  constexpr int64_t kMs = 10000;  // FILETIME units of a millisecond
  const struct {
    line_stamps::StampForm form;
    int64_t sinceOrigin, sincePrevious;
    std::string stamp;
  } cases[] = {
      {line_stamps::StampForm::kClock, 0, 0, "13:04:05.067 "},
      {line_stamps::StampForm::kDate, 0, 0, "2026-12-09 13:04:05.067 "},
      {line_stamps::StampForm::kElapsed, 0, 0, "      0.000 "},
      {line_stamps::StampForm::kElapsed, 12345 * kMs + 9999, 0, "     12.345 "},
      {line_stamps::StampForm::kElapsed, 86400000 * kMs, 0, "  86400.000 "},
      {line_stamps::StampForm::kDelta, 0, 200 * kMs, "     +0.200 "},
      {line_stamps::StampForm::kDelta, 0, 0, "     +0.000 "},
      {line_stamps::StampForm::kDelta, 0, -5 * kMs, "     -0.005 "},
      {line_stamps::StampForm::kElapsed, 123456789012 * kMs, 0, "123456789.012 "},  // wider, never cut
  };
  for (const auto& c : cases) {
    std::string out = ">";
    line_stamps::AppendStamp(c.form, local, c.sinceOrigin, c.sincePrevious, out);
    EXPECT_EQ(out, ">" + c.stamp) << int(c.form) << " " << c.sinceOrigin << " " << c.sincePrevious;
    const bool seconds = c.form == line_stamps::StampForm::kElapsed || c.form == line_stamps::StampForm::kDelta;
    if (!seconds || c.stamp.size() <= 12) EXPECT_EQ(line_stamps::StampWidth(c.form), c.stamp.size()) << int(c.form);
  }
}

TEST(LineStamps, StampIsTwentyFourHourTimeWithMillisecondsAndASpace) {
  const struct {
    ClockTime time;
    const char* stamp;
  } cases[] = {
      {{0, 0, 0, 0}, "00:00:00.000 "},
      {{9, 5, 7, 42}, "09:05:07.042 "},
      {{13, 59, 59, 999}, "13:59:59.999 "},
      {{23, 1, 2, 3}, "23:01:02.003 "},
      {{24, 60, 61, 1000}, "23:59:59.999 "},  // never more characters than the form has
      {{-1, -5, -3, -9}, "00:00:00.000 "},
  };
  for (const auto& c : cases) {
    const std::string stamp = StampOf(c.time);
    EXPECT_EQ(stamp, c.stamp);
    EXPECT_EQ(stamp.size(), line_stamps::kStampLength);
  }
}

// One received message: its text as it goes to the console and the log, and whether stamps are on.
struct Message {
  std::string text;
  bool on;
};

// The messages through one stamper, message i stamped "[i]" (a stand-in of the stamp's length).
std::string Shown(const std::vector<Message>& messages) {
  LineStamper stamper;
  std::vector<uint8_t> out;
  for (size_t i = 0; i < messages.size(); ++i) {
    const auto* text = reinterpret_cast<const uint8_t*>(messages[i].text.data());
    const size_t length = messages[i].text.size();
    std::string stamp = "[" + std::to_string(i) + "]";
    stamp.resize(line_stamps::kStampLength, '_');
    const size_t before = out.size();
    const size_t lines = stamper.LinesBegun(text, length);
    if (messages[i].on) {
      stamper.Stamp(text, length, stamp.c_str(), out);
      EXPECT_EQ(out.size() - before, length + lines * line_stamps::kStampLength) << "message " << i;
    } else {
      stamper.Follow(text, length);
      out.insert(out.end(), text, text + length);
    }
  }
  std::string shown(out.begin(), out.end());
  // Shorter expectations: "[i]" and the padding of the stand-in stamp.
  for (size_t at; (at = shown.find('_')) != std::string::npos;) shown.erase(at, 1);
  return shown;
}

TEST(LineStamps, EveryLineBegunWhileOnStartsWithTheTimeOfTheMessageThatBeginsIt) {
  const struct {
    const char* name;
    std::vector<Message> messages;
    std::string shown;
  } cases[] = {
      {"one line", {{"hello\r\n", true}}, "[0]hello\r\n"},
      {"several lines in one message", {{"a\r\nb\r\nc\r\n", true}}, "[0]a\r\n[0]b\r\n[0]c\r\n"},
      {"empty lines are lines", {{"\r\n\r\nx\r\n", true}}, "[0]\r\n[0]\r\n[0]x\r\n"},
      {"a line continued by the next message", {{"abc", true}, {"def\r\n", true}}, "[0]abcdef\r\n"},
      {"the next message begins the next line", {{"abc\r\n", true}, {"def", true}}, "[0]abc\r\n[1]def"},
      {"a line ended by the next message", {{"abc", true}, {"\r\nx", true}}, "[0]abc\r\n[1]x"},
      {"a line begun by several messages' texts", {{"a", true}, {"b", true}, {"c\r\n", true}}, "[0]abc\r\n"},
      {"CR LF split across messages is one line end", {{"a\r", true}, {"\nb", true}}, "[0]a\r\n[1]b"},
      {"LF CR split across messages too", {{"a\n", true}, {"\rb", true}}, "[0]a\n\r[1]b"},
      {"CR then CR: two line ends", {{"a\r", true}, {"\rb", true}}, "[0]a\r[1]\r[1]b"},
      {"lone breaks end lines", {{"a\rb\nc", true}}, "[0]a\r[0]b\n[0]c"},
      {"LF CR LF: a pair, then a lone LF", {{"\n\r\nz", true}}, "[0]\n\r[0]\n[0]z"},
      {"nothing after the last line end: no stamp yet", {{"a\r\n", true}}, "[0]a\r\n"},
      {"an empty message changes nothing", {{"a\r\n", true}, {"", true}, {"b", true}}, "[0]a\r\n[2]b"},
      {"double-byte text", {{"\x93\xFA\x96\x7B\r\n", true}}, "[0]\x93\xFA\x96\x7B\r\n"},
      {"off: nothing stamped", {{"a\r\nb\r\n", false}}, "a\r\nb\r\n"},
      {"turned on mid-line: the continuation gets none", {{"ab", false}, {"c\r\nd\r\n", true}}, "abc\r\n[1]d\r\n"},
      {"turned on after a line end: the next line gets one", {{"ab\r\n", false}, {"c\r\n", true}}, "ab\r\n[1]c\r\n"},
      {"turned off mid-line: the rest of the line as it comes", {{"ab", true}, {"c\r\nd", false}}, "[0]abc\r\nd"},
      {"on, off, on: lines begun while off get none", {{"a\r\n", true}, {"b\r\n", false}, {"c\r\n", true}},
       "[0]a\r\nb\r\n[2]c\r\n"},
      {"a CR while off, its LF while on: still one line end", {{"a\r", false}, {"\nb", true}}, "a\r\n[1]b"},
  };
  for (const auto& c : cases) EXPECT_EQ(Shown(c.messages), c.shown) << c.name;
}

// Over many random messages: the text between the stamps is the text as received, and the stamps
// stand exactly at the line starts that a scan of the whole text finds, wherever the messages
// split it.
TEST(LineStamps, StampsStandExactlyAtTheLineStartsOfRandomText) {
  uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return (state >> 16) & 0x7FFF;
  };
  const char alphabet[] = {'a', 'b', '\r', '\n'};
  LineStamper stamper;
  std::vector<uint8_t> out;
  std::string plain;
  const std::string stamp = "#############";
  for (int message = 0; message < 2000; ++message) {
    std::string text;
    for (unsigned n = next() % 6; n > 0; --n) text += alphabet[next() % 4];
    plain += text;
    stamper.Stamp(reinterpret_cast<const uint8_t*>(text.data()), text.size(), stamp.c_str(), out);
  }
  // Stamps removed, the text is the plain text.
  std::string shown(out.begin(), out.end());
  std::string withoutStamps;
  std::vector<size_t> stampsAt;  // offsets in the plain text where a stamp stood
  for (size_t i = 0; i < shown.size();) {
    if (shown.compare(i, stamp.size(), stamp) == 0) {
      stampsAt.push_back(withoutStamps.size());
      i += stamp.size();
    } else {
      withoutStamps += shown[i++];
    }
  }
  ASSERT_EQ(withoutStamps, plain);
  // The line starts of the plain text, by the store's rule: after CR or LF, except between the
  // two halves of a CR LF or LF CR pair.
  std::vector<size_t> starts;
  if (!plain.empty()) starts.push_back(0);
  for (size_t i = 0; i < plain.size(); ++i) {
    const char c = plain[i];
    if (c != '\r' && c != '\n') continue;
    const char partner = c == '\r' ? '\n' : '\r';
    if (i + 1 < plain.size() && plain[i + 1] == partner) ++i;
    if (i + 1 < plain.size()) starts.push_back(i + 1);
  }
  EXPECT_EQ(stampsAt, starts);
}

}  // namespace
