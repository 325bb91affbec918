// The monitor's gutter: the stamp before every line of text, the sender before the line a sender's
// message begins, as the View switches and the record say.
#include <gtest/gtest.h>

#include <string>

#include "console/text_store.h"
#include "monitor/view/history_gutter.h"
#include "receiving/message.h"

namespace {

// The hour is the FILETIME value itself: the stamp says which time was taken.
line_stamps::ClockTime HourClock(uint64_t fileTime) { return {int(fileTime), 0, 0, 0}; }

TEST(HistoryGutter, StampsAndSendersAsTheSwitchesAndTheRecordSay) {
  const struct {
    const char* name;
    bool senders, stamps;
    MessageSource source;
    bool namesSender;
    uint64_t sent;
    std::string first, second;  // the gutter of the message's first line, of its second line
  } cases[] = {
      {"both off", false, false, MessageSource::kTellit, true, 7, "", ""},
      {"senders", true, false, MessageSource::kTellit, true, 7, "[42 a.exe] ", ""},
      {"stamps: the sender's time", false, true, MessageSource::kTellit, true, 7, "07:00:00.000 ", "07:00:00.000 "},
      {"stamps: arrival without one", false, true, MessageSource::kTellit, true, 0, "05:00:00.000 ", "05:00:00.000 "},
      {"both", true, true, MessageSource::kTellit, true, 7, "07:00:00.000 [42 a.exe] ", "07:00:00.000 "},
      {"debug output names its sender always", false, false, MessageSource::kDebugOutput, true, 0, "[42 a.exe] ", ""},
      {"a notice never", true, false, MessageSource::kTellit, false, 0, "", ""},
  };
  for (const auto& c : cases) {
    TextStore store;
    store.Allocate(4096, 100, 80);
    StoredMessage record;
    record.SetTimes(5, c.sent);
    record.pid = 42;
    record.program = store.programs.Intern("a.exe");
    record.namesSender = c.namesSender;
    record.source = uint32_t(c.source);
    store.BeginMessage(record);
    store.Append(reinterpret_cast<const uint8_t*>("one\r\ntwo\r\n"), 10);
    HistoryGutter gutter(HourClock);
    gutter.senders = c.senders;
    gutter.stamps = c.stamps;
    gutter.namesAlways = c.source != MessageSource::kTellit;  // as the monitor notes it
    std::string first, second;
    gutter.Append(store, 0, first);
    gutter.Append(store, 1, second);
    EXPECT_EQ(first, c.first) << c.name;
    EXPECT_EQ(second, c.second) << c.name;
    // The horizontal range allows for the widest gutter.
    EXPECT_GE(gutter.Widest(store), first.size()) << c.name;
  }
}

// The lines of a text file opened in the monitor carry no time: no stamp stands before them.
TEST(HistoryGutter, ALineWithoutATimeHasNoStamp) {
  TextStore store;
  store.Allocate(4096, 100, 80);
  store.BeginMessage(StoredMessage());
  store.Append(reinterpret_cast<const uint8_t*>("from a file\r\n"), 13);
  HistoryGutter gutter(HourClock);
  gutter.stamps = true;
  gutter.senders = true;
  std::string drawn;
  gutter.Append(store, 0, drawn);
  EXPECT_EQ(drawn, "");
}

// The forms and the time a stamp shows: a delta from the message of the shown line before (a
// hidden one skipped), elapsed times from the origin, the arrival when asked for.
TEST(HistoryGutter, FormsMeasureFromTheOriginAndTheShownLineBefore) {
  constexpr uint64_t kMs = 10000;
  TextStore store;
  store.Allocate(4096, 100, 80);
  const uint64_t arrivals[] = {1000, 1300, 1450, 2000};
  for (int n = 0; n < 4; ++n) {
    StoredMessage record;
    record.SetTimes(arrivals[n] * kMs, n == 3 ? 1900 * kMs : 0);
    if (n == 2) record.mark = StoredMessage::kHidden;
    store.BeginMessage(record);
    store.Append(reinterpret_cast<const uint8_t*>("x\r\n"), 3);
  }
  store.RebuildShownLines();
  HistoryGutter gutter(HourClock);
  gutter.stamps = true;
  gutter.style.origin = 400 * kMs;
  const auto stamp = [&](uint32_t line) {
    std::string out;
    gutter.Append(store, line, out);
    return out;
  };
  gutter.style.form = line_stamps::StampForm::kDelta;
  EXPECT_EQ(stamp(0), "     +0.000 ");
  EXPECT_EQ(stamp(1), "     +0.300 ");
  EXPECT_EQ(stamp(3), "     +0.600 ") << "from line 1: line 2 is hidden; the sender's time 1.900";
  gutter.style.arrival = true;
  EXPECT_EQ(stamp(3), "     +0.700 ") << "its arrival";
  gutter.style.form = line_stamps::StampForm::kElapsed;
  EXPECT_EQ(stamp(0), "      0.600 ");
  EXPECT_EQ(gutter.Widest(store), line_stamps::StampWidth(line_stamps::StampForm::kElapsed));
}

}  // namespace
