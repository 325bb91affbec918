// The usable ranges of the console settings kept in vigilo.ini, and the clamping applied when
// they are read, so that a hand-edited file can neither crash the monitor nor make it allocate
// gigabytes. Portable: no Windows header.
#pragma once

#include <cstdint>

namespace settings_ranges {

// The ranges the console settings page enforces.
inline constexpr int32_t kColumnMin = 40, kColumnMax = 256;
inline constexpr int32_t kBufferKbMin = 64, kBufferKbMax = 1024;
// Font heights: the page offers 8 to 28 for scalable fonts and the raster families' own heights.
inline constexpr int32_t kFontSizeMin = 4, kFontSizeMax = 96;

int32_t ClampColumn(int32_t column);
// Kilobytes as stored in the file; the caller multiplies the result by 1024.
int32_t ClampBufferKb(int32_t kilobytes);
// The page offers 2, 4 and 8: other values go to the nearest of them (3 to 4, 6 and more to 8).
int32_t ClampTabs(int32_t tabs);
int32_t ClampFontSize(int32_t size);
// The on/off settings: the page shows every nonzero value as a checked box and writes it back as
// 1, while the console acts on 1 alone; nonzero reads as 1 so that both agree.
int32_t ClampFlag(int32_t value);
// Colours are 0x00BBGGRR, as the colour chooser gives them: a set top byte would make GDI take
// the value for a palette entry or for no colour at all, so only the low 24 bits are kept.
uint32_t ClampColour(uint32_t colour);

}  // namespace settings_ranges
