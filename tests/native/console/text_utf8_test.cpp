// The console's store and rows over UTF-8 text: whole characters wherever a line wraps, a
// backspace or a selection ends, wide characters in two cells, and hit testing by character.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/text_search.h"
#include "console/text_view.h"
#include "store_helpers.h"
#include "tests/native/code_page/simple_folding.h"

namespace {

int window;

const std::string kNichi = "\xE6\x97\xA5";        // 日: three bytes, two cells
const std::string kAlpha = "\xCE\xB1";            // α: two bytes, one cell (two where ambiguous is wide)
const std::string kGrin = "\xF0\x9F\x98\x80";     // 😀: four bytes, two cells

struct Utf8Text : ::testing::Test {
  TextStore store;
  ConsoleSettings settings;
  TextView view;

  void Make(uint32_t wrap, bool ambiguousWide = false) {
    store.utf8 = true;
    store.ambiguousWide = ambiguousWide;
    settings.wrapColumn = int32_t(wrap);
    store.Allocate(16384, 1000, wrap);
    view.Attach(&window, store, settings);
  }
};

TEST_F(Utf8Text, LinesWrapAtTheColumnsCellsAndNeverInsideACharacter) {
  const struct {
    uint32_t wrap;
    bool ambiguousWide;
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {4, false, "abc" + kNichi + "d", {"abc", kNichi + "d"}},  // 日 would take cells 4 and 5
      {4, false, "ab" + kNichi + "cd", {"ab" + kNichi, "cd"}},
      {4, false, kAlpha + kAlpha + kAlpha + kAlpha + kAlpha, {kAlpha + kAlpha + kAlpha + kAlpha, kAlpha}},
      {4, true, kAlpha + kAlpha + kAlpha, {kAlpha + kAlpha, kAlpha}},
      {4, false, "a" + kGrin + kGrin, {"a" + kGrin, kGrin}},
      {1, false, kNichi + "a", {kNichi, "a", ""}},  // wider than the column: alone on its line
      {4, false, "a\x80\xFF" "bc", {"a\x80\xFF" "b", "c"}},  // bytes of no character: a cell each
      {8, false, "x" + kNichi + "\b" "y" + kGrin + "\b\b", {"x"}},  // backspaces take whole characters
      {8, false, "ab" + kNichi + "\r\n" + kNichi, {"ab" + kNichi + "\r\n", kNichi}},
  };
  for (const auto& c : cases) {
    Make(c.wrap, c.ambiguousWide);
    Put(store, c.text);
    EXPECT_EQ(Lines(store), c.lines) << c.text;
  }
}

TEST_F(Utf8Text, RowsHoldEachCharacterInItsCellsAndHitsFindItsFirstByte) {
  Make(80);
  Put(store, "a" + kNichi + "b" + kGrin + kAlpha);
  int32_t cells = 0;
  const int32_t used = view.BuildRow(int32_t(store.used), 0, &cells);
  EXPECT_EQ(used, int32_t(store.used));
  const std::vector<Cell> expected = {U'a', U'\u65E5', kSecondCell, U'b', U'\U0001F600', kSecondCell, U'\u03B1'};
  ASSERT_EQ(cells, int32_t(expected.size()));
  EXPECT_EQ(std::vector<Cell>(view.rowChars.begin(), view.rowChars.begin() + cells), expected);
  // Cell by cell, the first byte of the character each cell shows (the span's last character
  // stands for everything after it).
  const RowSpan span{0, int32_t(store.used), 0};
  const int32_t firstByteOfCell[] = {0, 1, 1, 4, 5, 5, 9, 9};
  for (int32_t cell = 0; cell < 8; ++cell) {
    int32_t walked = 0;
    bool reached = false;
    const int32_t offset = view.WalkCells(span, cell, &walked, &reached);
    EXPECT_EQ(offset == int32_t(store.used) - 1 ? 9 : offset, firstByteOfCell[cell]) << cell;
  }
  // Where each byte shows: its character's cells.
  const struct {
    int32_t offset, cell, cells;
  } located[] = {{0, 0, 1}, {1, 1, 2}, {3, 1, 2}, {4, 3, 1}, {5, 4, 2}, {8, 4, 2}, {9, 6, 1}, {10, 6, 1}};
  for (const auto& l : located) {
    const ByteLocation at = view.Locate(l.offset);
    EXPECT_EQ(at.cell, l.cell) << l.offset;
    EXPECT_EQ(at.cells, l.cells) << l.offset;
  }
  EXPECT_EQ(view.LineCells(0), 7);
  EXPECT_EQ(view.CurrentLineEndCell(), 7);
}

TEST_F(Utf8Text, SelectionEndsSnapToWholeCharacters) {
  Make(80);
  Put(store, "a" + kNichi + kGrin + "b");  // 日 at 1-3, 😀 at 4-7
  const TextPosition row{0, 0, int32_t(store.used)};
  const struct {
    int32_t offset;
    bool isLow;
    int32_t snapped;
  } cases[] = {{0, true, 0}, {2, true, 1}, {2, false, 3}, {3, true, 1}, {5, true, 4},
               {6, false, 7}, {7, false, 7}, {8, true, 8}};
  for (const auto& c : cases) {
    TextPosition position = row;
    position.offset = c.offset;
    EXPECT_EQ(store.SnapToCharacter(position, c.isLow), c.snapped) << c.offset << (c.isLow ? " low" : " high");
  }
}

TEST_F(Utf8Text, ALineStoredUnderAWiderColumnRowsAsNewTextWraps) {
  Make(80);
  Put(store, std::string(3, 'a') + kNichi + "bbb\r\n");
  store.Resize(0, 0, 4);
  settings.wrapColumn = 4;
  Put(store, std::string(3, 'c') + kNichi + "d");
  // The old line's rows end where the new text's lines end: before the wide character.
  EXPECT_EQ(Lines(store), (std::vector<std::string>{"aaa" + kNichi + "bbb\r\n", "ccc", kNichi + "d"}));
  const ByteLocation nichi = view.Locate(3);
  EXPECT_EQ(nichi.rowInLine, 1);
  EXPECT_EQ(nichi.cell, 0);
  EXPECT_EQ(view.LineCells(0), 4);  // 日 and bbb, the widest of its rows; the line end a blank
}

}  // namespace

namespace {

// UTF-8 search: a hit starts and ends on whole characters, case folds beyond ASCII, and its
// length is the text's (which a fold may make differ from the pattern's).
TEST(Utf8Search, FindsWholeCharactersFoldedAsTheFoldingSays) {
  const std::string text = "x \xCE\xA3\xCE\xB9\xCE\xB3\xCE\xBC\xCE\xB1 \xD0\x94\xD0\xB0 " + kNichi + kNichi +
                           " \xE2\x84\xAA" "elvin";  // Σιγμα Да 日日 Kelvin (Kelvin sign)
  TextPieces pieces;
  pieces.first = reinterpret_cast<const uint8_t*>(text.data());
  pieces.firstLength = uint32_t(text.size());
  const struct {
    std::string pattern;
    bool matchCase;
    bool down;
    uint32_t from;
    bool found;
    uint32_t offset, length;
  } cases[] = {
      {"\xCF\x83\xCE\xB9", false, true, 0, true, 2, 4},    // σι finds Σι
      {"\xCF\x83\xCE\xB9", true, true, 0, false, 0, 0},    // not when the case must match
      {"\xD0\xB4\xD0\x90", false, true, 0, true, 13, 4},   // дА finds Да
      {"\xE6\x97", false, true, 0, false, 0, 0},           // part of a character matches none
      {"\x97\xA5", false, true, 0, false, 0, 0},
      {kNichi, false, true, 0, true, 18, 3},
      {kNichi, false, true, 19, true, 21, 3},             // the next one from inside the first
      {kNichi, false, false, 24, true, 21, 3},            // up: the last that ends before from
      {kNichi, false, false, 23, true, 18, 3},
      {"kelvin", false, true, 0, true, 25, 8},            // the sign folds to k: three bytes for one
      {"KELVIN", true, true, 0, false, 0, 0},
  };
  for (const auto& c : cases) {
    SearchRequest request;
    request.pattern = reinterpret_cast<const uint8_t*>(c.pattern.data());
    request.patternLength = uint32_t(c.pattern.size());
    request.matchCase = c.matchCase;
    request.down = c.down;
    request.from = c.from;
    const SearchHit hit = FindInUtf8(pieces, SimpleFolding(), request);
    EXPECT_EQ(hit.found, c.found) << c.pattern;
    if (!hit.found || !c.found) continue;
    EXPECT_EQ(hit.offset, c.offset) << c.pattern;
    EXPECT_EQ(hit.length, c.length) << c.pattern;
  }
}

}  // namespace
