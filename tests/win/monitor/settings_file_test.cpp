// vigilo.ini through the real private-profile functions: defaults, values, clamping, writers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "monitor/settings/font_chooser.h"
#include "monitor/app/monitor_app.h"
#include "monitor/settings/settings_file.h"
#include "support/scratch_dir.h"

namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::strcpy(settingsPath, dir.File("vigilo.ini").c_str());
  }
  void TearDown() override { settingsPath[0] = '\0'; }
  void WriteIni(const std::string& text) { WriteWholeFile(dir.File("vigilo.ini"), text); }

  ScratchDir dir;
};

void ExpectDefaults(const ConsoleSettings& s) {
  EXPECT_EQ(s.maxLines, 0) << "the buffer size alone bounds the lines";
  EXPECT_EQ(s.wrapColumn, 80);
  EXPECT_EQ(s.bufferSize, 64 << 20);
  EXPECT_EQ(s.showVScroll, 1);
  EXPECT_EQ(s.showHScroll, 1);
  EXPECT_EQ(s.hexMode, 0);
  EXPECT_EQ(s.autoScroll, 1);
  EXPECT_EQ(s.readOnly, 1);
  EXPECT_EQ(s.newlineMode, 2);
  EXPECT_EQ(s.inputLine, 0);
  EXPECT_EQ(s.tabSize, 4);
  EXPECT_EQ(s.fontSize, 18);
  EXPECT_STREQ(s.fontName, "FixedSys");
  EXPECT_EQ(s.normalText, 0x000000u);
  EXPECT_EQ(s.normalBack, 0xFFFFFFu);
  EXPECT_EQ(s.hexText, 0x0000FFu);
  EXPECT_EQ(s.hexBack, 0xFFFFFFu);
  EXPECT_EQ(s.selectText, 0x000000u);
  EXPECT_EQ(s.selectBack, 0xFFFF00u);
  EXPECT_EQ(s.inputText, 0xFF00FFu);
  EXPECT_EQ(s.inputBack, 0xFFFFFFu);
}

// A record whose every field differs from what the loader must produce.
ConsoleSettings Scrambled() {
  ConsoleSettings s;
  s.maxLines = 3;
  s.wrapColumn = 7;
  s.bufferSize = 9;
  s.showVScroll = s.showHScroll = s.autoScroll = 5;
  s.hexMode = 5;
  s.readOnly = 0;
  s.newlineMode = 0;
  s.inputLine = 1;
  s.tabSize = 3;
  s.fontSize = 1;
  std::strcpy(s.fontName, "xx");
  s.normalText = s.normalBack = s.hexText = s.hexBack = s.selectText = s.selectBack = 0x123456;
  s.inputText = s.inputBack = 0x123456;
  return s;
}

TEST_F(SettingsFileTest, NoFileGivesTheDefaults) {
  ConsoleSettings s = Scrambled();
  ReadConsoleSettings(s);
  ExpectDefaults(s);
  EXPECT_EQ(GetFileAttributesA(settingsPath), INVALID_FILE_ATTRIBUTES) << "reading creates no file";
}

TEST_F(SettingsFileTest, EmptyPathGivesTheDefaultsAndWritesNothing) {
  settingsPath[0] = '\0';
  WriteIni("[console]\r\ncolumn=100\r\n");
  ConsoleSettings s = Scrambled();
  ReadConsoleSettings(s);
  ExpectDefaults(s);
  WriteSettingInt("system", "tool bar", 0);
  WriteSettingString("log file", "file name", "x.log");
  EXPECT_EQ(ReadWholeFile(dir.File("vigilo.ini")), "[console]\r\ncolumn=100\r\n");
  EXPECT_EQ(ReadSettingInt("system", "tool bar", 7), 7);
  char name[16];
  ReadSettingString("log file", "file name", "dflt", name, sizeof name);
  EXPECT_STREQ(name, "dflt");
}

TEST_F(SettingsFileTest, StoredValuesReachEveryField) {
  WriteIni(
      "[console]\r\ncolumn=120\r\nbuffer size=100\r\nv scroll bar=0\r\nh scroll bar=0\r\n"
      "hex mode=1\r\nauto scroll=0\r\ntabs=8\r\ntext font size=12\r\ntext font name=DejaVu Sans Mono\r\n"
      "console text 1=255\r\nconsole back 1=16777215\r\nconsole text 2=65280\r\nconsole back 2=1\r\n"
      "console text 3=2\r\nconsole back 3=16776960\r\n");
  ConsoleSettings s;
  ReadConsoleSettings(s);
  EXPECT_EQ(s.wrapColumn, 120);
  EXPECT_EQ(s.bufferSize, 102400) << "kilobytes times 1024";
  EXPECT_EQ(s.showVScroll, 0);
  EXPECT_EQ(s.showHScroll, 0);
  EXPECT_EQ(s.hexMode, 1);
  EXPECT_EQ(s.autoScroll, 0);
  EXPECT_EQ(s.tabSize, 8);
  EXPECT_EQ(s.fontSize, 12);
  EXPECT_STREQ(s.fontName, "DejaVu Sans Mono");
  EXPECT_EQ(s.normalText, 255u) << "255 is red";
  EXPECT_EQ(s.normalBack, 0xFFFFFFu);
  EXPECT_EQ(s.hexText, 0x00FF00u);
  EXPECT_EQ(s.hexBack, 1u);
  EXPECT_EQ(s.selectText, 2u);
  EXPECT_EQ(s.selectBack, 0xFFFF00u);
  // The fixed fields have no key.
  EXPECT_EQ(s.readOnly, 1);
  EXPECT_EQ(s.newlineMode, 2);
  EXPECT_EQ(s.maxLines, 0) << "the buffer size alone bounds the lines";
}

TEST_F(SettingsFileTest, UnusableValuesAreClampedOnReading) {
  const struct {
    const char* ini;
    int32_t column, bufferSize, tabs, fontSize;
  } cases[] = {
      {"column=0\r\nbuffer size=0\r\ntabs=0\r\ntext font size=0\r\n", 40, 65536, 2, 18},
      {"column=-80\r\nbuffer size=-1\r\ntabs=-4\r\ntext font size=-18\r\n", 40, 65536, 2, 18},
      {"column=99999\r\nbuffer size=4000000\r\ntabs=100\r\ntext font size=5000\r\n", 256, 1 << 30, 8, 18},
      {"column=2147483647\r\nbuffer size=2147483647\r\ntabs=3\r\ntext font size=28\r\n", 256, 1 << 30, 4, 28},
      {"column=120\r\nbuffer size=128\r\ntabs=8\r\ntext font size=15\r\n", 120, 131072, 8, 15},
  };
  for (const auto& c : cases) {
    WriteIni(std::string("[console]\r\ntext font name=DejaVu Sans Mono\r\n") + c.ini);
    ConsoleSettings s;
    ReadConsoleSettings(s);
    EXPECT_EQ(s.wrapColumn, c.column) << c.ini;
    EXPECT_EQ(s.bufferSize, c.bufferSize) << c.ini;
    EXPECT_EQ(s.tabSize, c.tabs) << c.ini;
    EXPECT_EQ(s.fontSize, c.fontSize) << c.ini;
  }
}

// "text font size=abc" used to read as 0 and draw glyphs a few pixels tall; a value past 32 bits
// wrapped. Such values read as the key's default.
TEST_F(SettingsFileTest, ValuesThatAreNoNumbersReadAsTheirDefaults) {
  const std::string tooLong(5000, '7');
  WriteIni("[console]\r\ntext font name=DejaVu Sans Mono\r\ncolumn=abc\r\nbuffer size=4294967296\r\n"
           "tabs=\r\ntext font size=" + tooLong + "\r\nv scroll bar=off\r\nhex mode=yes\r\n"
           "auto scroll=0x1\r\nconsole text 1=red\r\nconsole back 1=" + tooLong + "\r\n");
  ConsoleSettings s;
  ReadConsoleSettings(s);
  EXPECT_EQ(s.wrapColumn, 80);
  EXPECT_EQ(s.bufferSize, 64 << 20);
  EXPECT_EQ(s.tabSize, 4);
  EXPECT_EQ(s.fontSize, 18);
  EXPECT_EQ(s.showVScroll, 1);
  EXPECT_EQ(s.hexMode, 0);
  EXPECT_EQ(s.autoScroll, 1);
  EXPECT_EQ(s.normalText, 0x000000u);
  EXPECT_EQ(s.normalBack, 0xFFFFFFu);
  WriteIni("[system]\r\nlanguage=abc\r\ntool bar=4294967296\r\n");
  EXPECT_EQ(ReadSettingInt("system", "language", -1), -1);
  EXPECT_EQ(ReadSettingInt("system", "tool bar", 1), 1);
  EXPECT_EQ(ReadSettingInt("system", "status bar", 1), 1) << "a missing key";
}

// A raster family's sizes are its own heights: a stored size outside them is the default size.
TEST_F(SettingsFileTest, FontSizeOutsideTheFamilysSizesIsTheDefault) {
  const FontSizeRange scalable = OfferedFontSizes("DejaVu Sans Mono");
  EXPECT_EQ(scalable.low, 8);
  EXPECT_EQ(scalable.high, 28);
  const FontSizeRange missing = OfferedFontSizes("No Such Family 12345");
  EXPECT_EQ(missing.low, 8);
  EXPECT_EQ(missing.high, 28);
  WriteIni("[console]\r\ntext font name=No Such Family 12345\r\ntext font size=2\r\n");
  ConsoleSettings s;
  ReadConsoleSettings(s);
  EXPECT_EQ(s.fontSize, 18);
}

// The page shows a nonzero on/off value as a checked box; the console must then act on it too.
TEST_F(SettingsFileTest, OnOffValuesOtherThanZeroOrOneReadAsOn) {
  WriteIni("[console]\r\nv scroll bar=2\r\nh scroll bar=-1\r\nhex mode=7\r\nauto scroll=0\r\n");
  ConsoleSettings s;
  ReadConsoleSettings(s);
  EXPECT_EQ(s.showVScroll, 1);
  EXPECT_EQ(s.showHScroll, 1);
  EXPECT_EQ(s.hexMode, 1);
  EXPECT_EQ(s.autoScroll, 0);
}

// A hand-edited colour with bits above blue (a negative number, say) keeps red, green and blue.
TEST_F(SettingsFileTest, ColoursKeepTheirLow24Bits) {
  WriteIni("[console]\r\nconsole text 1=-1\r\nconsole back 1=16777216\r\nconsole text 2=33554687\r\n");
  ConsoleSettings s;
  ReadConsoleSettings(s);
  EXPECT_EQ(s.normalText, 0xFFFFFFu);
  EXPECT_EQ(s.normalBack, 0x000000u);
  EXPECT_EQ(s.hexText, 0x0000FFu) << "0x020000FF";
  EXPECT_EQ(s.selectBack, 0xFFFF00u) << "a missing key keeps its default";
}

TEST_F(SettingsFileTest, LongFontNameIsCutTo31Characters) {
  WriteIni("[console]\r\ntext font name=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\r\n");
  ConsoleSettings s;
  ReadConsoleSettings(s);
  EXPECT_STREQ(s.fontName, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
}

TEST_F(SettingsFileTest, WritersWriteDecimalTextThroughAtOnce) {
  WriteSettingInt("system", "tool bar", 0);
  WriteSettingInt("system", "language", -1);
  WriteSettingInt("console", "console back 1", 16777215);
  WriteSettingString("log file", "file name", "C:\\logs\\a.log");
  EXPECT_EQ(GetPrivateProfileIntA("system", "tool bar", 5, settingsPath), 0u);
  EXPECT_EQ(ReadSettingInt("system", "language", 5), -1);
  EXPECT_EQ(ReadSettingInt("console", "console back 1", 0), 16777215);
  char text[64];
  GetPrivateProfileStringA("system", "language", "", text, sizeof text, settingsPath);
  EXPECT_STREQ(text, "-1");
  ReadSettingString("log file", "file name", "", text, sizeof text);
  EXPECT_STREQ(text, "C:\\logs\\a.log");
  const std::string file = ReadWholeFile(settingsPath);
  EXPECT_NE(file.find("[system]"), std::string::npos);
  EXPECT_NE(file.find("tool bar=0"), std::string::npos);
  EXPECT_NE(file.find("console back 1=16777215"), std::string::npos);
}

TEST(SettingsPath, IsTheCurrentDirectoryAndVigiloIni) {
  ScratchDir dir;
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
  BuildSettingsPath();
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(std::string(settingsPath), std::string(current) + "\\vigilo.ini");
  settingsPath[0] = '\0';
}

// In a drive's root the current directory already ends in a backslash; the second one is
// appended all the same, and the private-profile functions take the path as it stands.
TEST(SettingsPath, InADriveRootHasTwoBackslashesAndWorks) {
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
  BuildSettingsPath();
  SetCurrentDirectoryA(previous);
  EXPECT_STREQ(settingsPath, "C:\\\\vigilo.ini");
  const bool existed = GetFileAttributesA("C:\\vigilo.ini") != INVALID_FILE_ATTRIBUTES;
  WriteSettingInt("log file", "save console", 0);
  EXPECT_EQ(ReadSettingInt("log file", "save console", 7), 0);
  EXPECT_EQ(GetPrivateProfileIntA("log file", "save console", 7, "C:\\vigilo.ini"), 0u);
  if (!existed) DeleteFileA("C:\\vigilo.ini");
  settingsPath[0] = '\0';
}

// A current directory too long for the 260-byte path leaves it empty, so that every settings
// access is skipped, rather than running past its end.
TEST(SettingsPath, TooLongADirectoryLeavesThePathEmpty) {
  ScratchDir dir;
  // A chain of folders whose innermost one is 252 bytes long: room for the folder, not for
  // "\\vigilo.ini" after it.
  constexpr size_t kDeep = 252;
  std::string deep = dir.path();
  while (deep.size() < kDeep) {
    const size_t part = kDeep - deep.size() - 1 > 40 ? 40 : kDeep - deep.size() - 1;
    deep += "\\" + std::string(part, 'd');
    CreateDirectoryA(deep.c_str(), nullptr);
  }
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  const bool entered = SetCurrentDirectoryA(deep.c_str()) != 0;
  char current[MAX_PATH + 1] = "";
  const DWORD length = GetCurrentDirectoryA(sizeof current, current);
  std::strcpy(settingsPath, "untouched");
  BuildSettingsPath();
  SetCurrentDirectoryA(previous);
  // Remove the chain again, innermost first.
  for (std::string inner = deep; inner.size() > dir.path().size(); inner.resize(inner.rfind('\\')))
    RemoveDirectoryA(inner.c_str());
  ASSERT_TRUE(entered) << deep.size() << " " << GetLastError();
  ASSERT_EQ(length, kDeep) << current;
  EXPECT_STREQ(settingsPath, "");
  EXPECT_EQ(ReadSettingInt("system", "tool bar", 7), 7);
}

}  // namespace
