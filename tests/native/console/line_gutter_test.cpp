// What the view draws before the stored lines: which lines begin text or a message, the gutter's
// cells in the row pass, hit testing and locating past them, and Copy as drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/text_view.h"
#include "store_helpers.h"

namespace {

int fakeWindow;

// Stores each text as one message of its own.
void PutMessages(TextStore& store, const std::vector<std::string>& texts) {
  for (const std::string& text : texts) {
    store.BeginMessage(StoredMessage());
    Put(store, text);
  }
}

// "<n>" before every line that begins text, "@" before a line its message begins.
struct MarkingGutter : LineGutter {
  void Append(const TextStore& store, uint32_t line, std::string& out) const override {
    if (store.LineBeginsText(line)) out += "<" + std::to_string(store.MessageNumberOfLine(line)) + ">";
    if (store.LineBeginsMessage(line)) out += "@";
  }
  uint32_t Widest(const TextStore&) const override { return 4; }
};

TEST(LineGutter, TheStoreSaysWhichLinesBeginTextAndWhichBeginTheirMessage) {
  const struct {
    const char* name;
    std::vector<std::string> messages;
    std::string lines;  // per stored line: T begins text, M begins its message, - neither
  } cases[] = {
      {"one line each", {"a\r\n", "b\r\n"}, "TM TM T"},
      {"two lines in one message", {"a\r\nb\r\n"}, "TM T T"},
      {"a message that continues a line", {"a", "b\r\n", "c\r\n"}, "TM TM T"},
      {"wrapped at four bytes", {"abcdefgh\r\n"}, "TM - - T"},
      {"a message begun at the wrap", {"abcd", "ef\r\n"}, "TM M T"},
      {"a continuation running over the wrap", {"ab", "cdefg\r\n"}, "TM - T"},
      {"a lone LF ends a line too", {"a\nb\n"}, "TM T T"},
  };
  for (const auto& c : cases) {
    TextStore store;
    store.Allocate(4096, 100, 4);
    PutMessages(store, c.messages);
    std::string seen;
    for (uint32_t k = 0; k <= store.lineCount; ++k) {
      if (k) seen += ' ';
      std::string mark = std::string(store.LineBeginsText(k) ? "T" : "") + (store.LineBeginsMessage(k) ? "M" : "");
      seen += mark.empty() ? "-" : mark;
    }
    EXPECT_EQ(seen, c.lines) << c.name;
  }
}

struct Gutter : ::testing::Test {
  TextStore store;
  ConsoleSettings settings;
  TextView view;
  MarkingGutter gutter;

  void SetUp() override {
    settings.wrapColumn = 80;
    store.Allocate(16384, 1000, 80);
    view.Attach(&fakeWindow, store, settings);
    view.gutter = &gutter;
    PutMessages(store, {"one\r\n", "two\r\nthree\r\n", "four"});
  }
  // The text of each row of a row pass over 40 x 10 cells.
  std::vector<std::string> Painted(int hPos = 0) {
    struct Collect : RowPainter {
      std::vector<std::string> rows;
      int lastY = -1;
      int DrawRun(int, int y, const Cell* cells, int count, int) override {
        if (y != lastY) rows.emplace_back();
        lastY = y;
        rows.back().append(cells, cells + count);
        return count * 8;
      }
      void FillEmpty(int, int, int, int) override {}
    } painter;
    RowPassFrame frame;
    frame.left = kConsoleLeftMargin;
    frame.top = kConsoleTopMargin;
    frame.right = frame.left + 40 * 8;
    frame.bottom = frame.top + 10 * 16;
    frame.hPos = hPos;
    frame.charWidth = 8;
    frame.lineHeight = 16;
    view.Paint(frame, painter);
    return painter.rows;
  }
  std::string Copied(uint32_t offset, uint32_t length) {
    std::string out(view.CopyDrawn(offset, length, nullptr), '\0');
    EXPECT_EQ(view.CopyDrawn(offset, length, reinterpret_cast<uint8_t*>(&out[0])), out.size());
    return out;
  }
};

TEST_F(Gutter, EachLineIsDrawnAfterItsGutterAndTheStoreKeepsTheTextAlone) {
  EXPECT_EQ(Painted(), (std::vector<std::string>{"<0>@one  ", "<1>@two  ", "<1>three  ", "<2>@four"}));
  EXPECT_EQ(Stored(store), "one\r\ntwo\r\nthree\r\nfour");
  EXPECT_EQ(Painted(2), (std::vector<std::string>{">@one  ", ">@two  ", ">three  ", ">@four"}));
  view.gutter = nullptr;
  EXPECT_EQ(Painted(), (std::vector<std::string>{"one  ", "two  ", "three  ", "four"}));
}

TEST_F(Gutter, HitsInTheGutterStandForTheLinesFirstByteAndLocateCountsItsCells) {
  Painted();
  const auto at = [&](int column, int row) {
    return view.HitTest(kConsoleLeftMargin + column * 8 + 1, kConsoleTopMargin + row * 16 + 1, 8, 16, 0).offset;
  };
  EXPECT_EQ(at(0, 0), 0);
  EXPECT_EQ(at(3, 0), 0);
  EXPECT_EQ(at(4, 0), 0);  // "o" after "<0>@"
  EXPECT_EQ(at(5, 0), 1);
  EXPECT_EQ(at(2, 2), 10);  // "<1>" before "three" at offset 10
  EXPECT_EQ(at(4, 2), 11);
  const ByteLocation o = view.Locate(1);
  EXPECT_EQ(o.line, 0);
  EXPECT_EQ(o.cell, 5);
  EXPECT_EQ(view.Locate(10).cell, 3);
  EXPECT_EQ(view.CurrentLineEndCell(), 8) << "the caret after \"<2>@four\"";
}

TEST_F(Gutter, CopyTakesTheGutterOfEveryLineWhoseFirstByteItTakes) {
  EXPECT_EQ(Copied(0, store.used), "<0>@one\r\n<1>@two\r\n<1>three\r\n<2>@four");
  EXPECT_EQ(Copied(1, 7), "ne\r\n<1>@two") << "a line begun inside the range has its gutter";
  EXPECT_EQ(Copied(10, 2), "<1>th");
  // A hidden message's lines go with their gutters.
  store.MessageByNumber(1)->mark = StoredMessage::kHidden;
  store.RebuildShownLines();
  EXPECT_EQ(Copied(0, store.used), "<0>@one\r\n<2>@four");
  EXPECT_EQ(Painted(), (std::vector<std::string>{"<0>@one  ", "<2>@four"}));
}

TEST_F(Gutter, TheGutterTakesTheSelectionColourWithItsLinesFirstByte) {
  store.selection.state = Selection::kFinished;
  store.selection.anchor.offset = 5;   // "two"
  store.selection.end.offset = 7;
  int32_t cells = 0;
  const std::string lead = view.LeadOf(1);
  ASSERT_EQ(lead, "<1>@");
  view.BuildRow(5, 5, &cells, 0, &lead);
  EXPECT_EQ(cells, 4 + 5);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(view.rowColours[size_t(i)], kCellSelected) << i;
  store.selection.anchor.offset = 6;
  view.BuildRow(5, 5, &cells, 0, &lead);
  EXPECT_EQ(view.rowColours[0], kCellNormal) << "the range starts after the line's first byte";
}

}  // namespace
