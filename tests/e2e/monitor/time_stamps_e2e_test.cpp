// Time stamps end to end: switched on in vigilo.ini or by View > Time Stamps, every line begun
// while they are on starts with its receive time, in the console and in the log alike.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "support/monitor_fixture.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"

namespace {

const std::regex kStamped("([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]\\.[0-9]{3} (.*)");

// The lines of a text, each without its CR LF.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
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

  // One line per message, several lines in one, a line in three parts, a CR LF split between two
  // messages, a lone LF and an empty line.
  for (const char* message : {"first\n", "two\nlines\n", "in ", "three ", "parts\n", "split\r", "\nafter split\n",
                              "lone\rlf\n", "\n", "last\n"}) {
    ASSERT_TRUE(SendToMonitor(message));
  }
  ASSERT_TRUE(monitor().WaitForConsoleEnding("last\r\n"));
  const std::string shown = monitor().ConsoleText();
  // Each message's line ends become CR LF on their own, so the split pair ends two lines; the
  // empty line between them is a line of its own and has its stamp too.
  const std::vector<std::string> expected = {"first", "two", "lines", "in three parts", "split", "", "after split",
                                             "lone", "lf", "", "last"};
  std::vector<std::string> unstamped;
  for (const std::string& line : Lines(shown)) unstamped.push_back(Unstamped(line));
  EXPECT_EQ(unstamped, expected) << shown;
  EXPECT_EQ(ReadWholeFile(log), shown) << "the log takes the same bytes as the console";

  // Off by the menu: saved at once, and new lines come unstamped; on again: stamped again.
  monitor().Command(ID_VIEW_TIME_STAMPS);
  EXPECT_EQ(IniValue(), 0);
  ASSERT_TRUE(SendToMonitor("plain\n"));
  ASSERT_TRUE(monitor().WaitForConsoleEnding("\r\nplain\r\n"));
  monitor().Command(ID_VIEW_TIME_STAMPS);
  EXPECT_EQ(IniValue(), 1);
  ASSERT_TRUE(SendToMonitor("again\n"));
  ASSERT_TRUE(monitor().WaitForConsoleEnding("again\r\n"));
  const std::vector<std::string> lines = Lines(monitor().ConsoleText());
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "plain");
  EXPECT_EQ(Unstamped(lines.back()), "again");
  EXPECT_EQ(ReadWholeFile(log), monitor().ConsoleText());
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
