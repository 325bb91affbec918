// Scroll ranges, clamping, scroll-bar request targets and the scroll-to-end targets of the
// console, as pure functions. Portable: no Windows header.
#pragma once

#include <cstdint>

namespace console_scroll {

// Horizontal range in cells: the widest stored row's cells (WidestRow), at least the wrap column
// (a row of one cell per byte, so that the bar keeps its size while ordinary text comes in),
// plus 8.
int HRange(uint32_t wrapColumn, int32_t widestCells);
// Vertical range in lines: seven blank rows may follow the current line.
int VRange(uint32_t lineCount);

// A position clamped into 0 .. range - visible; 0 when the range does not exceed visible.
int Clamp(int target, int range, int visible);

// Scroll-bar request codes (SB_LINEUP ... SB_BOTTOM have these values on Windows).
enum Request {
  kLineUp = 0, kLineDown = 1, kPageUp = 2, kPageDown = 3, kThumbPosition = 4,
  kThumbTrack = 5, kTop = 6, kBottom = 7, kEndScroll = 8
};
// The unclamped target of a scroll-bar request; unknown codes keep the position.
int RequestTarget(int request, int position, int page, int trackPosition, int minimum, int maximum);

// Lines a wheel delta moves the view: two per notch of 120, toward the start for positive deltas.
int WheelTarget(int vPos, int16_t delta);

// Whether the view must move to keep the end of the text visible after new text, and the
// unclamped target if so: length/position/visible are the current line's length in bytes, hPos
// and visibleColumns horizontally, or lineCount, vPos and visibleRows vertically. The end then
// sits on the fourth cell/row from the far edge.
bool EndTarget(int length, int position, int visible, int* target);

// Whether the view must move to show the cells (or lines) first .. end - 1, and the unclamped
// target if so: visible counts the wholly visible cells or lines from position. The range then
// keeps a margin of up to four cells or lines (a quarter of the view at most) from the edge it
// came in at; a range wider than the view shows its start.
bool RevealTarget(int first, int end, int position, int visible, int* target);

}  // namespace console_scroll
