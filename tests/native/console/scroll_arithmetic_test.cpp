// Scroll ranges, clamping, request targets, wheel and scroll-to-end targets.
#include <gtest/gtest.h>

#include "console/scroll_arithmetic.h"

namespace {

using namespace console_scroll;

TEST(ScrollArithmetic, Ranges) {
  // The widest row's cells, never less than the wrap column, plus 8.
  EXPECT_EQ(HRange(80, 0), 88);
  EXPECT_EQ(HRange(80, 79), 88);
  EXPECT_EQ(HRange(80, 241), 249);
  EXPECT_EQ(HRange(40, 320), 328);
  EXPECT_EQ(VRange(100), 108);
  EXPECT_EQ(VRange(0), 8);
  EXPECT_LT(HRange(0xFFFFFFFFu, 0), 0x40000000);  // huge wrap columns never overflow
  EXPECT_LT(HRange(40, 0x7FFFFFFF), 0x40000000);   // nor huge rows
  EXPECT_LT(VRange(0xFFFFFFFFu), 0x40000000);
}

TEST(ScrollArithmetic, ClampKeepsPositionsValid) {
  struct Case {
    int target, range, visible, expected;
  } cases[] = {
      {88, 108, 20, 88}, {89, 108, 20, 88}, {-1, 108, 20, 0}, {50, 108, 20, 50},
      {5, 20, 20, 0},  // everything fits: only 0
      {5, 10, 20, 0},  {-5, 10, 20, 0}, {3, 21, 20, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Clamp(c.target, c.range, c.visible), c.expected)
        << c.target << " in " << c.range << " with " << c.visible << " visible";
  }
}

TEST(ScrollArithmetic, RequestTargets) {
  // position 40, page 20, track 33, range 0..107
  struct Case {
    int request, expected;
  } cases[] = {
      {kLineUp, 38}, {kLineDown, 42}, {kPageUp, 20}, {kPageDown, 60}, {kThumbPosition, 40},
      {kThumbTrack, 33}, {kTop, 0}, {kBottom, 107}, {kEndScroll, 40}, {99, 40},
  };
  for (const Case& c : cases) EXPECT_EQ(RequestTarget(c.request, 40, 20, 33, 0, 107), c.expected) << c.request;
}

TEST(ScrollArithmetic, WheelMovesTwoLinesPerNotch) {
  EXPECT_EQ(WheelTarget(10, 240), 6);
  EXPECT_EQ(WheelTarget(10, -120), 12);
  EXPECT_EQ(WheelTarget(10, 60), 10);
  EXPECT_EQ(WheelTarget(10, -119), 10);
  EXPECT_EQ(WheelTarget(10, -32768), 10 + 2 * 273);
}

TEST(ScrollArithmetic, EndTargets) {
  int target = -100;
  // 100 complete lines below 20 visible rows: the current line goes to the fourth row from the bottom.
  ASSERT_TRUE(EndTarget(100, 0, 20, &target));
  EXPECT_EQ(Clamp(target, VRange(100), 20), 84);
  // Still visible: no change.
  EXPECT_FALSE(EndTarget(18, 0, 20, &target));
  ASSERT_TRUE(EndTarget(19, 0, 20, &target));
  EXPECT_EQ(target, 3);
  // Above the view: back to the line before it.
  ASSERT_TRUE(EndTarget(5, 40, 20, &target));
  EXPECT_EQ(target, 4);
  // An empty current line left of the horizontal position goes to column 0.
  ASSERT_TRUE(EndTarget(0, 6, 40, &target));
  EXPECT_EQ(Clamp(target, HRange(80, 0), 40), 0);
}

}  // namespace

namespace {

TEST(ScrollArithmetic, RevealTargets) {
  const struct {
    const char* name;
    int first, end, position, visible;
    bool moves;
    int target;
  } cases[] = {
      {"inside the view: no move", 12, 15, 10, 20, false, 0},
      {"touching both edges: no move", 10, 30, 10, 20, false, 0},
      {"left of the view: four cells of margin", 3, 6, 10, 20, true, -1},
      {"far left", 50, 55, 200, 20, true, 46},
      {"right of the view: its end four cells from the edge", 40, 45, 10, 20, true, 29},
      {"one cell past the right edge", 29, 31, 10, 20, true, 15},
      {"wider than the view: its start shows", 40, 80, 10, 20, true, 36},
      {"a small view keeps a quarter as margin", 30, 31, 0, 8, true, 25},
      {"no view yet (nothing painted): the start", 30, 31, 0, 0, true, 30},
  };
  for (const auto& c : cases) {
    int target = -1000;
    EXPECT_EQ(RevealTarget(c.first, c.end, c.position, c.visible, &target), c.moves) << c.name;
    if (c.moves) EXPECT_EQ(target, c.target) << c.name;
  }
}

}  // namespace
