// The monitor's log rotating by size: the limit and the files kept set in the log dialog and
// saved, each file within the limit and ending at a message, the oldest gone, nothing lost between.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/monitor_fixture.h"

namespace {

class LogRotationEndToEnd : public MonitorFixture {};

std::string Message(int i) {
  std::string text = std::to_string(i) + " ";
  text += std::string(1000 - text.size(), 'x');
  return text + "\n";
}

TEST_F(LogRotationEndToEnd, AFullLogIsRenamedTheOldestGoesAndEveryFileEndsAtAMessage) {
  Start("[system]\r\nlanguage=0\r\n[console]\r\nbuffer size=1024\r\n");
  const std::string log = dir_.File("run.log");
  StartLog(log, false, 1, 2);
  EXPECT_EQ(GetPrivateProfileIntA("log file", "max size", -1, dir_.File("vigilo.ini").c_str()), 1u);
  EXPECT_EQ(GetPrivateProfileIntA("log file", "keep", -1, dir_.File("vigilo.ini").c_str()), 2u);
  constexpr int kCount = 3600;  // 3.6 MB of 1,002-byte lines: four files' worth, three kept
  for (int i = 0; i < kCount; ++i) ASSERT_TRUE(SendToMonitor(Message(i))) << i;
  const std::string last = std::to_string(kCount - 1) + " x";
  ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(log).find(last) != std::string::npos; }, 30000));
  monitor().Command(ID_FILE_STOP_LOG);

  const std::string oldest = ReadWholeFile(dir_.File("run.2.log")), older = ReadWholeFile(dir_.File("run.1.log")),
                    current = ReadWholeFile(log);
  EXPECT_EQ(GetFileAttributesA(dir_.File("run.3.log").c_str()), INVALID_FILE_ATTRIBUTES) << "only two kept";
  std::string expected;
  for (int i = 0; i < kCount; ++i) {
    std::string line = Message(i);
    line.insert(line.size() - 1, "\r");
    expected += line;
  }
  const std::string kept = oldest + older + current;
  ASSERT_GE(expected.size(), kept.size());
  EXPECT_TRUE(expected.compare(expected.size() - kept.size(), kept.size(), kept) == 0)
      << "the files together are not the newest messages in order";
  for (const std::string* file : {&oldest, &older, &current}) {
    EXPECT_LE(file->size(), 1048576u);
    ASSERT_GE(file->size(), 2u);
    EXPECT_EQ(file->substr(file->size() - 2), "\r\n") << "a message split across files";
    EXPECT_NE(file->substr(0, 5).find(' '), std::string::npos) << "a file not beginning with a message";
  }
  EXPECT_GT(oldest.size() + older.size(), 2000000u) << "the older files were full";
}

// "Save console" puts the stored history first: it goes through the same rotation, in whole lines,
// so no file grows past the limit and no line is split between two files.
TEST_F(LogRotationEndToEnd, TheSavedConsoleRotatesInWholeLinesWithinTheLimit) {
  Start("[system]\r\nlanguage=0\r\n[console]\r\nbuffer size=8192\r\n");
  constexpr int kStored = 2600, kAfter = 100;  // 2.6 MB in the console, then 0.1 MB more
  for (int i = 0; i < kStored; ++i) ASSERT_TRUE(SendToMonitor(Message(i))) << i;
  const std::string lastStored = std::to_string(kStored - 1) + " x";
  ASSERT_TRUE(WaitUntil([&] { return monitor().ConsoleText().find(lastStored) != std::string::npos; }, 30000));
  const std::string log = dir_.File("saved.log");
  StartLog(log, true, 1, 5);
  for (int i = kStored; i < kStored + kAfter; ++i) ASSERT_TRUE(SendToMonitor(Message(i))) << i;
  const std::string last = std::to_string(kStored + kAfter - 1) + " x";
  ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(log).find(last) != std::string::npos; }, 30000));
  monitor().Command(ID_FILE_STOP_LOG);

  std::string expected;
  for (int i = 0; i < kStored + kAfter; ++i) {
    std::string line = Message(i);
    line.insert(line.size() - 1, "\r");
    expected += line;
  }
  std::string all;
  for (const char* name : {"saved.2.log", "saved.1.log", "saved.log"}) {
    const std::string file = ReadWholeFile(dir_.File(name));
    ASSERT_GE(file.size(), 2u) << name;
    EXPECT_LE(file.size(), 1048576u) << name << " past the limit";
    EXPECT_EQ(file.substr(file.size() - 2), "\r\n") << name << ": a line split across files";
    EXPECT_NE(file.substr(0, 5).find(' '), std::string::npos) << name << " does not begin with a line";
    all += file;
  }
  EXPECT_EQ(GetFileAttributesA(dir_.File("saved.3.log").c_str()), INVALID_FILE_ATTRIBUTES) << "2.7 MB fill three files";
  EXPECT_TRUE(all == expected) << all.size() << " bytes in the files, " << expected.size() << " sent";
}

}  // namespace
