// Clamping of the console settings read from vigilo.ini.
#include "monitor/settings/settings_ranges.h"

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

int32_t FontSizeOrDefault(int32_t size, int32_t low, int32_t high) {
  return size >= low && size <= high ? size : kDefaultFontSize;
}

int32_t ParseSettingInt(const char* text, int32_t fallback) {
  if (!text) return fallback;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (blank(*text)) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  if (*text < '0' || *text > '9') return fallback;
  uint64_t magnitude = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    magnitude = magnitude * 10 + static_cast<uint64_t>(*text - '0');
    if (magnitude > 0xFFFFFFFFull) return fallback;  // past 32 bits, however many digits follow
  }
  while (blank(*text)) ++text;
  if (*text != '\0') return fallback;
  if (negative) {
    if (magnitude > 0x80000000ull) return fallback;
    return static_cast<int32_t>(-static_cast<int64_t>(magnitude));
  }
  return static_cast<int32_t>(static_cast<uint32_t>(magnitude));
}

int32_t ClampFlag(int32_t value) { return value != 0 ? 1 : 0; }

uint32_t ClampColour(uint32_t colour) { return colour & 0x00FFFFFFu; }

}  // namespace settings_ranges
