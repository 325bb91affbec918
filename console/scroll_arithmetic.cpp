// Scroll ranges, clamping and targets of the console's scroll bars, wheel and automatic scrolling.
#include "console/scroll_arithmetic.h"

#include <algorithm>

namespace console_scroll {

namespace {
// Scroll-bar ranges stay far below INT_MAX so that range - 1 and position + page never overflow.
constexpr int64_t kRangeLimit = 0x3FFFFFFF;
}  // namespace

int HRange(uint32_t wrapColumn, int32_t widestCells) {
  return int(std::min<int64_t>(std::max<int64_t>(wrapColumn, widestCells) + 8, kRangeLimit));
}

int VRange(uint32_t lineCount) { return int(std::min<int64_t>(int64_t(lineCount) + 8, kRangeLimit)); }

int Clamp(int target, int range, int visible) {
  if (range <= visible) return 0;
  return std::min(std::max(target, 0), range - visible);
}

int RequestTarget(int request, int position, int page, int trackPosition, int minimum, int maximum) {
  switch (request) {
    case kLineUp: return position - 2;
    case kLineDown: return position + 2;
    case kPageUp: return position - page;
    case kPageDown: return position + page;
    case kThumbTrack: return trackPosition;
    case kTop: return minimum;
    case kBottom: return maximum;
    default: return position;  // SB_THUMBPOSITION, SB_ENDSCROLL and unknown codes
  }
}

int WheelTarget(int vPos, int16_t delta) {
  const int steps = delta / 120;  // truncates toward zero: less than a notch does nothing
  return vPos - 2 * steps;
}

bool EndTarget(int length, int position, int visible, int* target) {
  if (length < position) {
    *target = length - 1;
    return true;
  }
  if (int64_t(length) > int64_t(position) + visible - 2) {
    *target = length - visible + 4;
    return true;
  }
  return false;
}

bool RevealTarget(int first, int end, int position, int visible, int* target) {
  if (first >= position && int64_t(end) <= int64_t(position) + visible) return false;
  const int margin = std::min(4, std::max(visible, 0) / 4);
  int64_t wanted = first < position ? int64_t(first) - margin : int64_t(end) - visible + margin;
  if (wanted > int64_t(first) - margin) wanted = int64_t(first) - margin;  // wider than the view
  *target = int(std::max<int64_t>(wanted, -kRangeLimit));
  return true;
}

}  // namespace console_scroll
