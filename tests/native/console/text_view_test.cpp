// TextView: display cells of a row, the row pass (runs, caret, row table) and hit testing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/text_view.h"
#include "store_helpers.h"

namespace {

const LeadTrailSets kShiftJis = LeadTrailSets::ShiftJis();
constexpr int kCharWidth = 8;
constexpr int kLineHeight = 16;
int fakeWindow;

struct Run {
  int x, y;
  std::string cells;
  int colour;
};

// Records what the row pass draws; every cell is kCharWidth pixels wide.
struct RecordingPainter : RowPainter {
  std::vector<Run> runs;
  int fillCount = 0;
  int lastFillX = -1;
  int DrawRun(int x, int y, const Cell* cells, int count, int colourIndex) override {
    runs.push_back(Run{x, y, std::string(cells, cells + count), colourIndex});
    return count * kCharWidth;
  }
  void FillEmpty(int x, int, int, int) override {
    ++fillCount;
    lastFillX = x;
  }
};

struct View : ::testing::Test {
  TextStore store;
  ConsoleSettings settings;
  TextView view;

  void SetUp() override {
    settings.wrapColumn = 80;
    store.Allocate(16384, 1000, 80);
    view.Attach(&fakeWindow, store, settings);
  }
  // Builds the row from offset start over count bytes; returns the cells as text.
  std::string Row(int32_t start, int32_t count, int32_t* used = nullptr) {
    int32_t cells = 0;
    const int32_t n = view.BuildRow(count, start, &cells);
    if (used) *used = n;
    return std::string(view.rowChars.begin(), view.rowChars.begin() + cells);
  }
  std::string Colours(int32_t cells) {
    std::string colours;
    for (int32_t i = 0; i < cells; ++i) colours += char('0' + view.rowColours[size_t(i)]);
    return colours;
  }
  // A row pass over a text area of columns x rows cells at the margins.
  void Paint(RecordingPainter& painter, int columns, int rows, int hPos = 0, int vPos = 0) {
    RowPassFrame frame;
    frame.left = kConsoleLeftMargin;
    frame.top = kConsoleTopMargin;
    frame.right = frame.left + columns * kCharWidth;
    frame.bottom = frame.top + rows * kLineHeight;
    frame.hPos = hPos;
    frame.vPos = vPos;
    frame.charWidth = kCharWidth;
    frame.lineHeight = kLineHeight;
    view.Paint(frame, painter);
  }
};

TEST_F(View, TabsExpandToTheNextStop) {
  struct Case {
    int tabSize;
    std::string in, cells;
  } cases[] = {
      {4, "a\tb", "a   b"},
      {4, "abcd\tx", "abcd    x"},
      {4, "\t\t", "        "},
      {8, "ab\tc", "ab      c"},
      {2, "abc\td", "abc d"},
      {0, "a\tb", "a b"},   // below 1: one blank
      {-3, "\t", " "},
  };
  for (const Case& c : cases) {
    settings.tabSize = c.tabSize;
    store.Clear();
    Put(store, c.in);
    EXPECT_EQ(Row(0, int32_t(c.in.size())), c.cells) << "tab size " << c.tabSize;
  }
}

TEST_F(View, LineBreaksAreBlanksOrHexCodes) {
  Put(store, "ab\r\n");
  EXPECT_EQ(Row(0, 4), "ab  ");
  EXPECT_EQ(Colours(4), "0000");
  settings.hexMode = 1;
  EXPECT_EQ(Row(0, 4), "ab<0D><0A>");
  EXPECT_EQ(Colours(10), "0011111111");
}

TEST_F(View, HexCodesCoverAllControlBytes) {
  settings.hexMode = 1;
  Put(store, std::string("\x00\x09\x1f\x20", 4));
  EXPECT_EQ(Row(0, 4), "<00><09><1F> ");
}

TEST_F(View, SelectedBytesTakeTheSelectionColour) {
  Put(store, "abcd\r\n");
  store.selection.state = Selection::kFinished;
  store.selection.anchor.offset = 2;
  store.selection.end.offset = 1;
  Row(0, 6);
  EXPECT_EQ(Colours(6), "022000");
  settings.hexMode = 1;
  store.selection.end.offset = 4;
  Row(0, 6);
  EXPECT_EQ(Colours(12), "002222221111");
  store.selection.state = Selection::kButtonDown;  // a button press highlights nothing
  Row(0, 6);
  EXPECT_EQ(Colours(12), "000011111111");
}

// A row used to take one byte more than the wrap column to keep a character whole, while the
// store ended its lines before such a character: the same text took other rows as a stored line
// than as an old line shown under a lowered wrap column, and reached past the scroll range.
TEST_F(View, RowEndsBeforeADoubleByteCharacterWhoseTrailWouldNotFit) {
  store.Resize(0, 0, 4);
  store.codePage = &kShiftJis;
  Put(store, "abcdefgh");
  int32_t used = 0;
  EXPECT_EQ(Row(0, 8, &used), "abcd");
  EXPECT_EQ(used, 4);
  store.Clear();
  store.Resize(0, 0, 10);
  Put(store, "abc\x82\xa0xyz");
  store.wrapColumn = 4;
  EXPECT_EQ(Row(0, 8, &used), "abc");
  EXPECT_EQ(used, 3);
  EXPECT_EQ(Row(3, 5, &used), "\x82\xa0xy");
  EXPECT_EQ(used, 4);
  store.wrapColumn = 1;  // a row's first character always fits
  EXPECT_EQ(Row(3, 5, &used), "\x82\xa0");
  EXPECT_EQ(used, 2);
  store.wrapColumn = 4;
  store.codePage = nullptr;
  EXPECT_EQ(Row(0, 8, &used), "abc\x82");
  EXPECT_EQ(used, 4);
}

TEST_F(View, RowsNeverReachPastTheStoredBytes) {
  Put(store, "abc");
  int32_t used = 0;
  EXPECT_EQ(Row(1, 100, &used), "bc");
  EXPECT_EQ(used, 2);
  EXPECT_EQ(Row(3, 5, &used), "");
  EXPECT_EQ(used, 0);
}

// Rows of many wide tabs used to write past buffers sized for four cells per byte.
TEST_F(View, LongTabRowsGrowTheRowBuffers) {
  settings.tabSize = 8;
  Put(store, std::string(80, '\t'));
  const size_t initial = view.rowChars.size();
  const std::string row = Row(0, 80);
  EXPECT_EQ(row, std::string(640, ' '));
  EXPECT_GT(view.rowChars.size(), initial);
  settings.tabSize = 100000;  // absurd tab sizes expand no further than a bounded width
  EXPECT_EQ(Row(0, 80).size(), size_t(80 * kMaxTabCells));
}

TEST_F(View, EmptyStorePaintsOnlyEmptySpaceAndCaretAtTopLeft) {
  RecordingPainter painter;
  Paint(painter, 40, 10);
  EXPECT_TRUE(painter.runs.empty());
  EXPECT_EQ(painter.fillCount, 10);
  EXPECT_EQ(view.caretX, 4);
  EXPECT_EQ(view.caretY, 2);
  EXPECT_EQ(view.visibleColumns, 40);
  EXPECT_EQ(view.visibleRows, 10);
  EXPECT_EQ(view.rows[0].start, -1);
}

TEST_F(View, PartlyVisibleCellsAndRowsCount) {
  RecordingPainter painter;
  RowPassFrame frame;
  frame.left = 4, frame.top = 2, frame.right = 4 + 10 * kCharWidth + 1, frame.bottom = 2 + 3 * kLineHeight + 5;
  frame.charWidth = kCharWidth, frame.lineHeight = kLineHeight;
  view.Paint(frame, painter);
  EXPECT_EQ(view.visibleColumns, 11);
  EXPECT_EQ(view.visibleRows, 4);
}

TEST_F(View, RowsDrawRunsOfEqualColourAndPlaceTheCaret) {
  Put(store, "abc\r\nxyz");
  store.selection.state = Selection::kFinished;
  store.selection.anchor.offset = 1;
  store.selection.end.offset = 1;
  RecordingPainter painter;
  Paint(painter, 40, 10);
  ASSERT_EQ(painter.runs.size(), 4u);
  EXPECT_EQ(painter.runs[0].cells, "a");
  EXPECT_EQ(painter.runs[1].cells, "b");
  EXPECT_EQ(painter.runs[1].colour, kCellSelected);
  EXPECT_EQ(painter.runs[2].cells, "c  ");
  EXPECT_EQ(painter.runs[2].x, 4 + 2 * kCharWidth);
  EXPECT_EQ(painter.runs[3].cells, "xyz");
  EXPECT_EQ(painter.runs[3].y, 2 + kLineHeight);
  EXPECT_EQ(view.caretX, 4 + 3 * kCharWidth);
  EXPECT_EQ(view.caretY, 2 + kLineHeight);
  EXPECT_EQ(view.lastRow, 1);
  EXPECT_EQ(view.rows[0].start, 0);
  EXPECT_EQ(view.rows[0].length, 5);
  EXPECT_EQ(view.rows[1].start, 5);
  EXPECT_EQ(view.rows[1].length, 3);
}

TEST_F(View, CaretAfterCompleteLastLineSitsOnTheEmptyCurrentLine) {
  Put(store, "abc\r\n");
  RecordingPainter painter;
  Paint(painter, 40, 10);
  EXPECT_EQ(view.caretX, 4);
  EXPECT_EQ(view.caretY, 2 + kLineHeight);
}

// The caret's test compared the horizontal position, in cells, with the current line's length in
// bytes: with hex codes or tabs the caret vanished while the end of the line was in view.
TEST_F(View, CaretAndLineEndCountCellsNotBytes) {
  const struct {
    int hexMode, tabSize;
    std::string text;
    int hPos, endCell, caretColumn;  // caretColumn -1: off the view
  } cases[] = {
      {1, 8, "ab\x01\x02\x03", 8, 14, 6},
      {0, 8, "a\tb\tc", 10, 17, 7},
      {0, 4, "\t\t\t", 12, 12, 0},
      {1, 8, "ab\x01\x02\x03", 15, 14, -1},
      {0, 8, "abc", 0, 3, 3},
      {1, 8, "x\r\n", 0, 0, 0},  // an empty current line
      {0, 8, "ab\x82\xa0", 1, 4, 3},
  };
  for (const auto& c : cases) {
    settings.hexMode = c.hexMode;
    settings.tabSize = c.tabSize;
    store.Clear();
    Put(store, c.text);
    EXPECT_EQ(view.CurrentLineEndCell(), c.endCell) << c.text;
    RecordingPainter painter;
    Paint(painter, 40, 10, c.hPos, 0);
    const int expected = c.caretColumn < 0 ? -2 * kCharWidth : kConsoleLeftMargin + c.caretColumn * kCharWidth;
    EXPECT_EQ(view.caretX, expected) << c.text << " from cell " << c.hPos;
  }
}

TEST_F(View, CaretLeavesTheWindowWhenTheEndIsScrolledAway) {
  for (int n = 0; n < 30; ++n) Put(store, "line\r\n");
  RecordingPainter painter;
  Paint(painter, 40, 10);  // the current line is line 30, below row 9
  EXPECT_EQ(view.caretX, -2 * kCharWidth);
  Put(store, "ab");
  Paint(painter, 40, 10, 3, 25);  // hPos beyond the current line's two bytes
  EXPECT_EQ(view.caretX, -2 * kCharWidth);
  Paint(painter, 40, 10, 2, 25);
  EXPECT_EQ(view.caretX, 4);
  EXPECT_EQ(view.caretY, 2 + 5 * kLineHeight);
}

TEST_F(View, LinesLongerThanTheWrapColumnTakeSeveralRows) {
  Put(store, std::string(30, 'a') + "\r\n");
  store.Resize(0, 0, 10);
  settings.wrapColumn = 10;
  Put(store, "b");
  RecordingPainter painter;
  Paint(painter, 40, 10);
  EXPECT_EQ(view.rows[0].length, 10);
  EXPECT_EQ(view.rows[2].length, 10);
  EXPECT_EQ(view.rows[3].length, 2);  // the CR LF
  EXPECT_EQ(view.rows[4].start, 32);
  EXPECT_EQ(view.lastRow, 4);
  EXPECT_EQ(view.caretY, 2 + 4 * kLineHeight);
}

TEST_F(View, BreakPastTheWrapColumnShowsOnItsOwnRow) {
  store.Resize(0, 0, 4);
  settings.wrapColumn = 4;
  Put(store, "abc\r\n");  // a line of five bytes
  settings.hexMode = 1;
  RecordingPainter painter;
  Paint(painter, 40, 10);
  EXPECT_EQ(view.rows[0].length, 4);
  EXPECT_EQ(view.rows[1].length, 1);
  EXPECT_EQ(painter.runs.back().cells, "<0A>");
}

TEST_F(View, HorizontalScrollOnATrailByteDrawsTheWholeCharacterFromTheLeft) {
  store.codePage = &kShiftJis;
  Put(store, "\x82\xa0" "bc");
  RecordingPainter painter;
  Paint(painter, 40, 10, 1, 0);
  ASSERT_EQ(painter.runs.size(), 1u);
  EXPECT_EQ(painter.runs[0].x, 4 - kCharWidth);
  EXPECT_EQ(painter.runs[0].cells, "\x82\xa0" "bc");
  painter.runs.clear();
  Paint(painter, 40, 10, 2, 0);
  EXPECT_EQ(painter.runs[0].x, 4);
  EXPECT_EQ(painter.runs[0].cells, "bc");
  painter.runs.clear();
  Paint(painter, 40, 10, 4, 0);  // at the row's end: nothing drawn
  EXPECT_TRUE(painter.runs.empty());
}

TEST_F(View, RunsRightOfTheTextAreaAreNotDrawn) {
  settings.hexMode = 1;
  Put(store, std::string("abcdefgh\x01xyz\x02", 13));
  RecordingPainter painter;
  Paint(painter, 10, 2);
  ASSERT_EQ(painter.runs.size(), 2u);  // "abcdefgh" and "<01>" reach the right edge
  EXPECT_EQ(painter.runs[1].cells, "<01>");
  EXPECT_EQ(painter.fillCount, 1);     // only the row without text
  EXPECT_EQ(view.rows[0].length, 13);  // the row still holds all its bytes
}

TEST_F(View, NothingIsPaintedWithoutWindowOrMetrics) {
  Put(store, "abc");
  RecordingPainter painter;
  Paint(painter, 0, 0);
  EXPECT_TRUE(painter.runs.empty());
  TextView detached;
  detached.Paint(RowPassFrame{}, painter);
  EXPECT_EQ(detached.HitTest(10, 10, kCharWidth, kLineHeight, 0).offset, -1);
}

struct Hit : View {
  void SetUp() override {
    View::SetUp();
    Put(store, "a\tbc\r\nxyz\r\n\r\nlast");
    RecordingPainter painter;
    Paint(painter, 40, 10);
  }
  HitResult At(int column, int row, int hPos = 0) {
    return view.HitTest(4 + column * kCharWidth + 1, 2 + row * kLineHeight + 1, kCharWidth, kLineHeight, hPos);
  }
};

TEST_F(Hit, CellWalkCountsTabsAsTheRowShowsThem) {
  EXPECT_EQ(At(0, 0).offset, 0);
  EXPECT_EQ(At(1, 0).offset, 1);
  EXPECT_EQ(At(3, 0).offset, 1);  // inside the tab's blanks
  EXPECT_EQ(At(4, 0).offset, 2);
  EXPECT_EQ(At(5, 0).offset, 3);
  EXPECT_EQ(At(6, 0).offset, 4);
  EXPECT_EQ(At(7, 0).offset, 5);  // the row's last byte ends the walk
  EXPECT_EQ(At(7, 0).pastRow, -1);
  EXPECT_EQ(At(8, 0).offset, 5);
  EXPECT_EQ(At(8, 0).pastRow, 0);
  EXPECT_EQ(At(1, 1).offset, 7);
  EXPECT_EQ(At(0, 1, 2).offset, 8);  // scrolled two cells
}

TEST_F(Hit, HexModeCountsFourCellsPerControlByte) {
  settings.hexMode = 1;
  EXPECT_EQ(At(1, 0).offset, 1);
  EXPECT_EQ(At(4, 0).offset, 1);
  EXPECT_EQ(At(5, 0).offset, 2);
}

TEST_F(Hit, MarkersNameTheOutsideZones) {
  HitResult left = view.HitTest(2, 2 + kLineHeight + 3, kCharWidth, kLineHeight, 0);
  EXPECT_EQ(left.leftRow, 1);
  EXPECT_EQ(left.column, 0);
  EXPECT_EQ(left.offset, 6);
  HitResult above = view.HitTest(4 + 2 * kCharWidth, 1, kCharWidth, kLineHeight, 0);
  EXPECT_EQ(above.leftRow, 0);
  EXPECT_EQ(above.row, 0);
  HitResult below = At(2, 8);
  EXPECT_EQ(below.row, 3);
  EXPECT_EQ(below.pastRow, 3);
  EXPECT_EQ(below.column, view.visibleColumns);
  EXPECT_EQ(below.offset, 16);  // the last stored byte
  EXPECT_EQ(below.leftRow, -1);
  EXPECT_EQ(view.HitTest(10, 10, 0, kLineHeight, 0).offset, -1);
}

TEST_F(Hit, StaleRowsNeverReachPastTheStoredBytes) {
  store.Clear();
  Put(store, "ab");
  EXPECT_EQ(At(3, 0).offset, 1);
  EXPECT_EQ(At(0, 1).offset, -1);
}

}  // namespace

namespace {

// Locate finds a byte's line, row and cells as the row pass draws them, so that a found text can
// be scrolled into view.
TEST_F(View, LocateGivesTheLineRowAndCellsOfAByte) {
  settings.tabSize = 4;
  Put(store, "a\tbc\r\nxyz\r\n");
  Put(store, std::string("\x01") + "k");
  const struct {
    int32_t offset;
    bool hex;
    ByteLocation expected;
  } cases[] = {
      {0, false, {0, 0, 0, 1}},   // 'a'
      {1, false, {0, 0, 1, 3}},   // the tab fills cells 1 to 3
      {2, false, {0, 0, 4, 1}},   // 'b' after the tab stop
      {4, false, {0, 0, 6, 1}},   // the CR of CR LF, shown as a blank
      {5, false, {0, 0, 7, 1}},   // its LF
      {7, false, {1, 0, 1, 1}},   // 'y'
      {11, false, {2, 0, 0, 1}},  // the control byte
      {12, false, {2, 0, 1, 1}},  // 'k'
      {12, true, {2, 0, 4, 1}},   // 'k' after <01>
      {11, true, {2, 0, 0, 4}},
      {13, false, {-1, 0, 0, 0}},  // past the stored bytes
      {-1, false, {-1, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    settings.hexMode = c.hex ? 1 : 0;
    const ByteLocation at = view.Locate(c.offset);
    EXPECT_EQ(at.line, c.expected.line) << c.offset;
    EXPECT_EQ(at.rowInLine, c.expected.rowInLine) << c.offset;
    EXPECT_EQ(at.cell, c.expected.cell) << c.offset;
    EXPECT_EQ(at.cells, c.expected.cells) << c.offset;
  }
}

TEST_F(View, LocateFollowsTheRowsOfLinesLongerThanTheWrapColumn) {
  store.codePage = &kShiftJis;
  Put(store, std::string(19, 'a') + "\x96\x7B" + "bcdefg\r\n");  // a line of 29 bytes
  store.Resize(0, 0, 10);
  settings.wrapColumn = 10;
  Put(store, "z");
  // Rows of 10 bytes; the second ends after 9, since hon (bytes 19 and 20) would not fit.
  const struct {
    int32_t offset, line, row, cell;
  } cases[] = {{0, 0, 0, 0}, {9, 0, 0, 9}, {10, 0, 1, 0}, {18, 0, 1, 8}, {19, 0, 2, 0}, {20, 0, 2, 1},
               {21, 0, 2, 2}, {28, 0, 2, 9}, {29, 1, 0, 0}};
  for (const auto& c : cases) {
    const ByteLocation at = view.Locate(c.offset);
    EXPECT_EQ(at.line, c.line) << c.offset;
    EXPECT_EQ(at.rowInLine, c.row) << c.offset;
    EXPECT_EQ(at.cell, c.cell) << c.offset;
  }
  // The same rows as the row pass draws.
  RecordingPainter painter;
  Paint(painter, 40, 10);
  EXPECT_EQ(view.rows[1].start, 10);
  EXPECT_EQ(view.rows[1].length, 9);
  EXPECT_EQ(view.rows[2].start, 19);
  EXPECT_EQ(view.rows[3].start, 29);
}

}  // namespace
