// The console settings table: one row per key, each field once, and the rules by kind.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "monitor/settings/console_settings_table.h"

namespace {

using namespace console_settings_table;

TEST(ConsoleSettingsTable, EveryKeyAndEveryFieldAppearsOnce) {
  std::set<std::string> keys;
  std::set<const void*> fields;
  ConsoleSettings record;
  int fontNames = 0;
  for (std::size_t i = 0; i < kRowCount; ++i) {
    const Row& row = kRows[i];
    EXPECT_TRUE(keys.insert(row.key).second) << row.key;
    EXPECT_EQ(Find(row.key), &row);
    if (row.number) EXPECT_TRUE(fields.insert(&(record.*row.number)).second) << row.key;
    if (row.colour) EXPECT_TRUE(fields.insert(&(record.*row.colour)).second) << row.key;
    if (row.kind == Kind::kFontName) ++fontNames;
  }
  EXPECT_EQ(kRowCount, 15u);
  EXPECT_EQ(fontNames, 1);
  EXPECT_EQ(Find("no such key"), nullptr);
  // Every colour button edits a colour that has a row.
  for (uint32_t ConsoleSettings::*button : kColourButtons) EXPECT_EQ(fields.count(&(record.*button)), 1u);
}

TEST(ConsoleSettingsTable, ValuesBecomeFieldsByTheirRowsRules) {
  const struct {
    const char* key;
    int32_t stored;
    int32_t field;
  } cases[] = {
      {"column", 10, 40},          {"column", 120, 120},     {"buffer size", 128, 131072},
      {"buffer size", 0, 65536},   {"buffer size", 5000, 5120000},
      {"buffer size", 2000000, 1 << 30},
      {"tabs", 3, 4},              {"hex mode", 7, 1},       {"auto scroll", 0, 0},
      {"text font size", 12, 12},  {"text font size", 0, 18}, {"text font size", 30, 18},
  };
  for (const auto& c : cases) {
    const Row* row = Find(c.key);
    ASSERT_NE(row, nullptr) << c.key;
    EXPECT_EQ(NumberFromFile(*row, c.stored, 8, 28), c.field) << c.key << "=" << c.stored;
  }
  ConsoleSettings record;
  record.bufferSize = 262144;
  EXPECT_EQ(NumberToFile(*Find("buffer size"), record), 256) << "kilobytes in the file";
  record.wrapColumn = 99;
  EXPECT_EQ(NumberToFile(*Find("column"), record), 99);
  EXPECT_EQ(ColourFromFile(0xFF123456u), 0x123456u);
}

}  // namespace
