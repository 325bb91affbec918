// Time stamps end to end: switched on in vigilo.ini or by View > Time Stamps, every line starts
// with its receive time, in the console (the whole history, as the switch stands) and in the log
// (each line as it was written).
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "support/monitor_fixture.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"

namespace {

const std::regex kStamped("([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]\\.[0-9]{3} (.*)");

constexpr int kDayMs = 24 * 60 * 60 * 1000;

// The local time of day in milliseconds, as the monitor's stamps show it.
int LocalTimeOfDay() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return ((now.wHour * 60 + now.wMinute) * 60 + now.wSecond) * 1000 + now.wMilliseconds;
}

// The time of day a line's stamp shows, in milliseconds; -1 for a line without one.
int StampOf(const std::string& line) {
  std::smatch match;
  if (!std::regex_match(line, match, kStamped)) return -1;
  const int h = std::stoi(line.substr(0, 2)), m = std::stoi(line.substr(3, 2)), s = std::stoi(line.substr(6, 2));
  return ((h * 60 + m) * 60 + s) * 1000 + std::stoi(line.substr(9, 3));
}

// Whether a time of day lies from first to last (inclusive), across midnight too.
bool Within(int time, int first, int last) {
  return (time - first + kDayMs) % kDayMs <= (last - first + kDayMs) % kDayMs;
}

// The line without its stamp, or "(no stamp) " and the line.
std::string Unstamped(const std::string& line) {
  std::smatch match;
  return std::regex_match(line, match, kStamped) ? match[2].str() : "(no stamp) " + line;
}

class TimeStampsE2eTest : public MonitorFixture {
 protected:
  int IniValue() { return GetPrivateProfileIntA("system", "time stamps", -7, dir_.File("vigilo.ini").c_str()); }

};

TEST_F(TimeStampsE2eTest, EveryLineOfAllCopyStartsWithItsTimeAndTheLogMatches) {
  Start("[system]\r\nlanguage=0\r\ntime stamps=1\r\n");
  const std::string log = dir_.File("stamped.log");
  StartLog(log, true);
  ASSERT_FALSE(HasFatalFailure());

  // The stamps are the local time of arrival: the test runs in a zone away from UTC (CMake sets
  // TZ), where a UTC stamp shows another hour.
  TIME_ZONE_INFORMATION zone = {};
  GetTimeZoneInformation(&zone);
  ASSERT_NE(zone.Bias, 0) << "run with TZ naming a zone away from UTC, or a UTC stamp passes for local time";

  // One line per message, several lines in one, a line in three parts, a CR LF split between two
  // messages, a lone LF and an empty line; the last one some time later.
  const int sent = LocalTimeOfDay();
  for (const char* message : {"first\n", "two\nlines\n", "in ", "three ", "parts\n", "split\r", "\nafter split\n",
                              "lone\rlf\n", "\n"}) {
    ASSERT_TRUE(SendToMonitor(message));
  }
  // Ten lines so far, the last an empty one with its stamp.
  ASSERT_TRUE(WaitUntil([&] { return Lines(monitor().ConsoleText()).size() == 10; }, 5000)) << monitor().ConsoleText();
  Sleep(600);
  const int lastSent = LocalTimeOfDay();
  ASSERT_TRUE(SendToMonitor("last\n"));
  ASSERT_TRUE(monitor().WaitForConsoleEnding("last\r\n"));
  const int arrived = LocalTimeOfDay();
  const std::string shown = monitor().ConsoleText();
  // Each message's line ends become CR LF on their own, so the split pair ends two lines; the
  // empty line between them is a line of its own and has its stamp too.
  const std::vector<std::string> expected = {"first", "two", "lines", "in three parts", "split", "", "after split",
                                             "lone", "lf", "", "last"};
  std::vector<std::string> unstamped;
  for (const std::string& line : Lines(shown)) unstamped.push_back(Unstamped(line));
  EXPECT_EQ(unstamped, expected) << shown;
  // Each stamp is the time its line arrived: within the run, in order, and the last line's
  // after the pause (one stamp taken once and reused would not be).
  const std::vector<std::string> stampedLines = Lines(shown);
  int previous = sent;
  for (const std::string& line : stampedLines) {
    const int stamp = StampOf(line);
    EXPECT_TRUE(stamp >= 0 && Within(stamp, sent, arrived)) << line << " outside " << sent << " .. " << arrived;
    EXPECT_TRUE(stamp >= 0 && Within(stamp, previous, arrived)) << line << " before the line above it";
    if (stamp >= 0) previous = stamp;
  }
  ASSERT_FALSE(stampedLines.empty());
  EXPECT_TRUE(Within(StampOf(stampedLines.back()), lastSent, arrived)) << stampedLines.back() << " sent at " << lastSent;
  EXPECT_EQ(ReadWholeFile(log), shown) << "the log takes the same bytes as the console";

  // Off by the menu: saved at once, and the whole history shows unstamped, the lines above too;
  // on again: every line has its stamp again, the one that came while they were off too. The
  // log keeps each line as it was written.
  monitor().Command(ID_VIEW_TIME_STAMPS);
  EXPECT_EQ(IniValue(), 0);
  ASSERT_TRUE(SendToMonitor("plain\n"));
  ASSERT_TRUE(monitor().WaitForConsoleEnding("\r\nplain\r\n"));
  std::vector<std::string> withPlain = expected;
  withPlain.push_back("plain");
  EXPECT_EQ(Lines(monitor().ConsoleText()), withPlain);
  monitor().Command(ID_VIEW_TIME_STAMPS);
  EXPECT_EQ(IniValue(), 1);
  ASSERT_TRUE(SendToMonitor("again\n"));
  ASSERT_TRUE(monitor().WaitForConsoleEnding("again\r\n"));
  const std::string restamped = monitor().ConsoleText();
  const std::vector<std::string> lines = Lines(restamped);
  ASSERT_EQ(lines.size(), withPlain.size() + 1);
  EXPECT_EQ(restamped.substr(0, shown.size()), shown) << "the same stamps as before";
  EXPECT_EQ(Unstamped(lines[lines.size() - 2]), "plain");
  EXPECT_EQ(Unstamped(lines.back()), "again");
  const std::string logged = ReadWholeFile(log);
  EXPECT_EQ(logged.substr(0, shown.size() + 7), shown + "plain\r\n") << "written unstamped while stamps were off";
  EXPECT_EQ(Unstamped(Lines(logged).back()), "again");
}

// The four forms of View > Time Stamp Form, each saved at once and drawn for the whole history,
// and the log written in the form chosen when each line came; the sender's time or the arrival.
TEST_F(TimeStampsE2eTest, EachFormShowsTheWholeHistoryAndTheDeltaMeasuresTheGap) {
  Start("[system]\r\nlanguage=0\r\ntime stamps=1\r\ntime stamp form=3\r\n");
  const std::string log = dir_.File("forms.log");
  StartLog(log, true);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_TRUE(SendToMonitor("first\n"));
  ASSERT_TRUE(monitor().WaitForConsoleEnding("first\r\n"));
  Sleep(200);  // the gap the delta measures, not a wait for the monitor
  ASSERT_TRUE(SendToMonitor("second\n"));
  ASSERT_TRUE(monitor().WaitForConsoleEnding("second\r\n"));
  const auto seconds = [](const std::string& line) { return std::stod(line.substr(0, 11)); };
  std::vector<std::string> lines = Lines(monitor().ConsoleText());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "     +0.000 first") << "the first line has none before it";
  const double delta = seconds(lines[1]);
  EXPECT_TRUE(delta >= 0.190 && delta < 1.0) << lines[1];
  EXPECT_EQ(lines[1].substr(11), " second");
  EXPECT_EQ(ReadWholeFile(log), monitor().ConsoleText()) << "the log writes what the console shows";

  const struct {
    int command;
    int setting;
    const char* pattern;
  } forms[] = {
      {ID_VIEW_STAMP_CLOCK, 0, "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]\\.[0-9]{3} (first|second)"},
      {ID_VIEW_STAMP_DATE, 1, "20[0-9]{2}-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\\.[0-9]{3} (first|second)"},
      {ID_VIEW_STAMP_ELAPSED, 2, " {6,}[0-9]+\\.[0-9]{3} (first|second)"},
      {ID_VIEW_STAMP_DELTA, 3, " +\\+[0-9]+\\.[0-9]{3} (first|second)"},
  };
  for (const auto& form : forms) {
    monitor().Command(form.command);
    EXPECT_EQ(GetPrivateProfileIntA("system", "time stamp form", -1, dir_.File("vigilo.ini").c_str()),
              UINT(form.setting));
    lines = Lines(monitor().ConsoleText());
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines) EXPECT_TRUE(std::regex_match(line, std::regex(form.pattern))) << line;
  }
  // Elapsed: the second line came later than the first, both since the start.
  monitor().Command(ID_VIEW_STAMP_ELAPSED);
  lines = Lines(monitor().ConsoleText());
  EXPECT_GE(seconds(lines[1]) - seconds(lines[0]), 0.190);
  // The arrival time: without a sender's time (these datagrams carry none) the same as before.
  const std::string before = monitor().ConsoleText();
  monitor().Command(ID_VIEW_STAMP_ARRIVAL);
  EXPECT_EQ(GetPrivateProfileIntA("system", "time stamps of arrival", -1, dir_.File("vigilo.ini").c_str()), 1u);
  EXPECT_EQ(monitor().ConsoleText(), before);
  // All Erase starts the elapsed time again.
  monitor().Command(ID_EDIT_ALL_ERASE);
  ASSERT_TRUE(SendToMonitor("third\n"));
  ASSERT_TRUE(monitor().WaitForConsoleEnding("third\r\n"));
  lines = Lines(monitor().ConsoleText());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_LT(seconds(lines[0]), 5.0) << lines[0];
}

TEST_F(TimeStampsE2eTest, OffByDefaultAndTheSettingIsReadAtStart) {
  Start("[system]\r\nlanguage=0\r\n");
  ASSERT_TRUE(SendToMonitor("no stamp\n"));
  ASSERT_TRUE(monitor().WaitForConsoleEnding("no stamp\r\n"));
  EXPECT_EQ(monitor().ConsoleText(), "no stamp\r\n");
  EXPECT_EQ(IniValue(), -7) << "nothing written until the user toggles";
  monitor().Command(ID_VIEW_TIME_STAMPS);
  EXPECT_EQ(IniValue(), 1);
  EXPECT_EQ(monitor().Exit(), 0u);
  monitor_.reset();

  ASSERT_TRUE(WaitUntil([] { return !FindWindowA("VIGILO WINDOW", nullptr); }, 5000));
  Start("");  // the file as the monitor left it
  ASSERT_TRUE(SendToMonitor("stamped\n"));
  ASSERT_TRUE(monitor().WaitForConsoleEnding("stamped\r\n"));
  EXPECT_EQ(Unstamped(monitor().ConsoleText().substr(0, 13 + 7)), "stamped");
}

}  // namespace
