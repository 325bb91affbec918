// Display cells of a line's rows (TextView::LineCells) and the widest row kept as lines come and
// go (WidestRow). Every expected width is counted by hand from the bytes.
#include <gtest/gtest.h>

#include <string>

#include "console/widest_row.h"
#include "store_helpers.h"

namespace {

const LeadTrailSets kShiftJis = LeadTrailSets::ShiftJis();
int fakeWindow;

struct Layout {
  TextStore store;
  ConsoleSettings settings;
  TextView view;

  void Start(uint32_t maxLines = 1000) {
    settings.wrapColumn = 80;
    store.codePage = &kShiftJis;
    store.Allocate(16384, maxLines, 80);
    view.Attach(&fakeWindow, store, settings);
  }
};

struct Cells : Layout, ::testing::Test {};

TEST(LineCells, CountTheCellsRowsShow) {
  struct Case {
    int tabSize;
    int hexMode;
    uint32_t wrapAfter;  // 0: the line stays under the wrap column of 80 it was stored with
    std::string bytes;
    int32_t cells;
  } cases[] = {
      {8, 0, 0, "", 0},
      {8, 0, 0, "\t", 8},
      {8, 0, 0, "ab\tc", 9},          // a b, the tab to cell 8, c
      {4, 0, 0, "\t\t\tx", 13},       // three stops of 4, then x
      {3, 0, 0, "a\tbb\t", 6},        // a, tab to 3, b b, tab to 6
      {1, 0, 0, "\t\t", 2},
      {8, 1, 0, "\t", 4},             // <09>
      {8, 1, 0, "a\x01" "b", 6},      // a <01> b
      {8, 0, 0, "a\x01" "b", 3},      // the control byte drawn as itself
      {8, 0, 0, "ab\r\n", 4},         // the line break shows as two blanks
      {8, 1, 0, "ab\r\n", 10},        // a b <0D> <0A>
      {8, 0, 0, "\x82\xA0", 2},       // one double-byte character, two cells
      {8, 1, 0, "\x82\xA0", 2},       // not a control byte in hex mode either
      {8, 0, 0, "\x82\xA0\tx", 9},    // two cells, tab to 8, x
      {8, 0, 0, "\x82\xA0\t\x07z", 10},  // two cells, tab to 8, the bell byte, z
      {8, 1, 0, "\x82\xA0\t\x07z", 11},  // two cells, <09>, <07>, z
      // A line stored before the wrap column shrank shows as several rows: the widest counts.
      {8, 0, 10, std::string(30, 'a'), 10},
      {4, 0, 10, std::string(12, '\t'), 40},  // ten tabs of 4, then a row of two
      // The double-byte character does not fit after abcd in a row of 5: rows abcd and the character.
      {8, 0, 5, "abcd\x82\xA0", 4},
  };
  for (const Case& c : cases) {
    Layout each;  // a store, settings and view of their own
    each.settings.tabSize = c.tabSize;
    each.settings.hexMode = c.hexMode;
    each.Start();
    Put(each.store, c.bytes);
    if (c.wrapAfter != 0) each.store.Resize(0, 0, c.wrapAfter);
    EXPECT_EQ(each.view.LineCells(0), c.cells) << "tab " << c.tabSize << " hex " << c.hexMode << " wrap "
                                               << c.wrapAfter << ": " << ::testing::PrintToString(c.bytes);
  }
}

TEST_F(Cells, WidestRowFollowsAppendedLines) {
  settings.tabSize = 8;
  Start();
  WidestRow widest;
  widest.Rebuild(view);
  EXPECT_EQ(widest.Cells(), 0);
  struct Step {
    const char* bytes;
    int32_t cells;
  } steps[] = {
      {"\t\n", 9},       // tab, LF blank
      {"abc", 9},        // the current line is narrower
      {"\t\t\t", 24},    // abc, tabs to 8, 16, 24: the current line counts as it grows
      {"\n", 25},        // completed with its blank
      {"x\n", 25},
      {"\b\b", 25},      // a backspace never reaches into a complete line
  };
  for (const Step& step : steps) {
    Put(store, step.bytes);
    widest.Update(view);
    EXPECT_EQ(widest.Cells(), step.cells) << ::testing::PrintToString(std::string(step.bytes));
  }
}

TEST_F(Cells, WidestRowForgetsLinesThatLeftTheStore) {
  settings.tabSize = 8;
  Start(3);  // at most two complete lines
  WidestRow widest;
  widest.Rebuild(view);
  Put(store, "\t\t\n");
  widest.Update(view);
  EXPECT_EQ(widest.Cells(), 17);
  Put(store, "a\n");
  widest.Update(view);
  EXPECT_EQ(widest.Cells(), 17);
  Put(store, "b\n");  // the tab line goes
  widest.Update(view);
  ASSERT_EQ(Lines(store), (std::vector<std::string>{"a\n", "b\n", ""}));
  EXPECT_EQ(widest.Cells(), 2);
  store.Clear();
  widest.Update(view);
  EXPECT_EQ(widest.Cells(), 0);
}

TEST_F(Cells, WidestRowMeasuresALineBreakJoinedToTheLineBefore) {
  settings.hexMode = 1;
  Start();
  WidestRow widest;
  widest.Rebuild(view);
  Put(store, "\t\r");  // <09> <0D>, complete at the CR
  widest.Update(view);
  EXPECT_EQ(widest.Cells(), 8);
  Put(store, "\n");  // joins the line before: <09> <0D> <0A>
  widest.Update(view);
  ASSERT_EQ(Lines(store), (std::vector<std::string>{"\t\r\n", ""}));
  EXPECT_EQ(widest.Cells(), 12);
}

TEST_F(Cells, WidestRowRebuildsForNewLayoutSettings) {
  settings.tabSize = 8;
  Start();
  WidestRow widest;
  Put(store, "\t\t\nab");
  widest.Rebuild(view);
  EXPECT_EQ(widest.Cells(), 17);
  settings.tabSize = 4;
  widest.Rebuild(view);
  EXPECT_EQ(widest.Cells(), 9);
  settings.hexMode = 1;
  widest.Rebuild(view);
  EXPECT_EQ(widest.Cells(), 12);  // <09> <09> <0A>
}

}  // namespace
