// The rows of the console settings and the rules that read, write and compare them.
#include "monitor/settings/console_settings_table.h"

#include <cstring>

#include "monitor/settings/settings_ranges.h"

namespace console_settings_table {

namespace {
using S = ConsoleSettings;
using namespace settings_ranges;
}  // namespace

const Row kRows[] = {
    {"column", Kind::kColumn, &S::wrapColumn, nullptr, kColumnMin, kColumnMax},
    {"v scroll bar", Kind::kFlag, &S::showVScroll, nullptr, 0, 1},
    {"h scroll bar", Kind::kFlag, &S::showHScroll, nullptr, 0, 1},
    {"hex mode", Kind::kFlag, &S::hexMode, nullptr, 0, 1},
    {"auto scroll", Kind::kFlag, &S::autoScroll, nullptr, 0, 1},
    {"buffer size", Kind::kKilobytes, &S::bufferSize, nullptr, kBufferKbMin, kBufferKbMax},
    {"tabs", Kind::kTabs, &S::tabSize, nullptr, 2, 8},
    {"text font size", Kind::kFontSize, &S::fontSize, nullptr, 0, 0},
    {kFontNameKey, Kind::kFontName, nullptr, nullptr, 0, 0},
    {"console text 1", Kind::kColour, nullptr, &S::normalText, 0, 0},
    {"console back 1", Kind::kColour, nullptr, &S::normalBack, 0, 0},
    {"console text 2", Kind::kColour, nullptr, &S::hexText, 0, 0},
    {"console back 2", Kind::kColour, nullptr, &S::hexBack, 0, 0},
    {"console text 3", Kind::kColour, nullptr, &S::selectText, 0, 0},
    {"console back 3", Kind::kColour, nullptr, &S::selectBack, 0, 0},
};
const std::size_t kRowCount = sizeof kRows / sizeof kRows[0];

int32_t NumberDefault(const Row& row) {
  const ConsoleSettings defaults;
  const int32_t value = row.number ? defaults.*row.number : 0;
  return row.kind == Kind::kKilobytes ? value / 1024 : value;
}

uint32_t ColourDefault(const Row& row) { return row.colour ? ConsoleSettings().*row.colour : 0; }

uint32_t DarkColourDefault(const Row& row) {
  ConsoleSettings dark;
  dark.normalText = 0xD4D4D4;  // light grey on near black
  dark.normalBack = 0x1E1E1E;
  dark.hexText = 0x8080FF;  // a light red for the hexadecimal codes
  dark.hexBack = 0x1E1E1E;
  dark.selectText = 0xFFFFFF;  // white on a dark blue
  dark.selectBack = 0x784F26;
  return row.colour ? dark.*row.colour : 0;
}

const Row* Find(const char* key) {
  for (const Row& row : kRows)
    if (std::strcmp(row.key, key) == 0) return &row;
  return nullptr;
}

int32_t NumberFromFile(const Row& row, int32_t stored, int32_t fontLow, int32_t fontHigh) {
  switch (row.kind) {
    case Kind::kColumn: return ClampColumn(stored);
    case Kind::kFlag: return ClampFlag(stored);
    case Kind::kKilobytes: return ClampBufferKb(stored) * 1024;
    case Kind::kTabs: return ClampTabs(stored);
    case Kind::kFontSize: return FontSizeOrDefault(stored, fontLow, fontHigh);
    case Kind::kFontName:
    case Kind::kColour: break;
  }
  return stored;
}

uint32_t ColourFromFile(uint32_t stored) { return ClampColour(stored); }

int32_t NumberToFile(const Row& row, const ConsoleSettings& record) {
  const int32_t value = record.*row.number;
  return row.kind == Kind::kKilobytes ? value / 1024 : value;
}

bool Differ(const ConsoleSettings& a, const ConsoleSettings& b) {
  for (const Row& row : kRows) {
    if (row.number && a.*row.number != b.*row.number) return true;
    if (row.colour && a.*row.colour != b.*row.colour) return true;
    if (row.kind == Kind::kFontName && std::strncmp(a.fontName, b.fontName, sizeof a.fontName) != 0) return true;
  }
  return false;
}

}  // namespace console_settings_table
