// The usable ranges of the console settings kept in vigilo.ini, and the clamping applied when
// they are read, so that a hand-edited file can neither crash the monitor nor make it allocate
// gigabytes. Portable: no Windows header.
#pragma once

#include <cstdint>

#include "console/console_settings.h"

namespace settings_ranges {

// The ranges the console settings page enforces.
inline constexpr int32_t kColumnMin = 40, kColumnMax = 256;
inline constexpr int32_t kBufferKbMin = 64, kBufferKbMax = 1048576;
// Font heights: the page offers these for scalable fonts and the raster families' own heights.
inline constexpr int32_t kScalableFontSizes[] = {8, 10, 12, 14, 16, 18, 20, 22, 24, 28};
inline constexpr int32_t kDefaultFontSize = ConsoleSettings().fontSize;

// A value of the settings file as the monitor reads it: a decimal integer with an optional sign
// and blanks around it, within 32 bits (a value past the signed range is taken as the unsigned
// one, as the private-profile reader did). Anything else (no digits, other characters, a value
// past 32 bits) gives fallback, the key's default.
int32_t ParseSettingInt(const char* text, int32_t fallback);

int32_t ClampColumn(int32_t column);
// Kilobytes as stored in the file; the caller multiplies the result by 1024.
int32_t ClampBufferKb(int32_t kilobytes);
// The page offers 2, 4 and 8: other values go to the nearest of them (3 to 4, 6 and more to 8).
int32_t ClampTabs(int32_t tabs);
// A stored font size outside the sizes the page offers for the family (low to high) is the
// default size: 0 or less drew unreadable glyphs a few pixels tall.
int32_t FontSizeOrDefault(int32_t size, int32_t low, int32_t high);
// The on/off settings: the page shows every nonzero value as a checked box and writes it back as
// 1, while the console acts on 1 alone; nonzero reads as 1 so that both agree.
int32_t ClampFlag(int32_t value);
// Colours are 0x00BBGGRR, as the colour chooser gives them: a set top byte would make GDI take
// the value for a palette entry or for no colour at all, so only the low 24 bits are kept.
uint32_t ClampColour(uint32_t colour);

}  // namespace settings_ranges
