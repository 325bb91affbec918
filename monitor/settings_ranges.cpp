// Clamping of the console settings read from vigilo.ini.
#include "monitor/settings_ranges.h"

namespace settings_ranges {

namespace {
int32_t Clamp(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : value > high ? high : value;
}
}  // namespace

int32_t ClampColumn(int32_t column) { return Clamp(column, kColumnMin, kColumnMax); }

int32_t ClampBufferKb(int32_t kilobytes) { return Clamp(kilobytes, kBufferKbMin, kBufferKbMax); }

int32_t ClampTabs(int32_t tabs) {
  if (tabs <= 2) return 2;
  if (tabs <= 5) return 4;
  return 8;
}

int32_t ClampFontSize(int32_t size) { return Clamp(size, kFontSizeMin, kFontSizeMax); }

int32_t ClampFlag(int32_t value) { return value != 0 ? 1 : 0; }

uint32_t ClampColour(uint32_t colour) { return colour & 0x00FFFFFFu; }

}  // namespace settings_ranges
