// The console settings kept in section "console" of vigilo.ini: one row per key, with the field it
// fills, the file's default, the rule applied when it is read and the settings page's range.
// Reading the file, writing it from the page, the page's limits and the comparison after the page
// all go through these rows. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "console/console_settings.h"

namespace console_settings_table {

inline constexpr char kSection[] = "console";

enum class Kind {
  kColumn,     // wrap column, clamped to the page's range
  kFlag,       // on/off: nonzero reads as 1
  kKilobytes,  // buffer size: kilobytes in the file, bytes in the record, clamped to the range
  kTabs,       // 2, 4 or 8
  kFontSize,   // a size the page offers for the family, else the default size
  kFontName,   // text, at most 31 bytes
  kColour,     // 0x00BBGGRR: the low 24 bits
};

struct Row {
  const char* key;
  Kind kind;
  int32_t ConsoleSettings::*number;  // the field of a number or flag, else null
  uint32_t ConsoleSettings::*colour; // the field of a colour, else null
  int32_t low, high;                 // the page's range, where it has one
};

// The default of a number row as the file stores it (kilobytes for the buffer size), and of a
// colour row: both from ConsoleSettings' own initial values.
int32_t NumberDefault(const Row& row);
uint32_t ColourDefault(const Row& row);
// The colour a row takes when the file does not set it and the system's app theme is dark.
uint32_t DarkColourDefault(const Row& row);

// Every key, in the order the page writes them.
extern const Row kRows[];
extern const std::size_t kRowCount;
// The font name's row, whose default is text.
inline constexpr char kFontNameKey[] = "text font name";
// The colour chooser's sixteen custom colours, kept beside the rows as "custom 0" .. "custom 15".
inline constexpr int kCustomColours = 16;
inline constexpr uint32_t kCustomColourDefault = 0xFFFFFF;

// The page's six colour buttons, in control order (normal text and background, hexadecimal,
// selected).
inline constexpr uint32_t ConsoleSettings::*kColourButtons[] = {
    &ConsoleSettings::normalText, &ConsoleSettings::normalBack, &ConsoleSettings::hexText,
    &ConsoleSettings::hexBack,    &ConsoleSettings::selectText, &ConsoleSettings::selectBack};

// The row of a key, or null.
const Row* Find(const char* key);

// What a stored value becomes in the record, by the row's rule. For the font size, low and high
// are the sizes the page offers for the record's family.
int32_t NumberFromFile(const Row& row, int32_t stored, int32_t fontLow = 0, int32_t fontHigh = 0);
uint32_t ColourFromFile(uint32_t stored);
// What the file holds for a record's number (kilobytes for the buffer size).
int32_t NumberToFile(const Row& row, const ConsoleSettings& record);

// Whether two records differ in any setting the page edits (the font name byte for byte).
bool Differ(const ConsoleSettings& a, const ConsoleSettings& b);

}  // namespace console_settings_table
