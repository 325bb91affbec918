// TextStore: line breaks, wrapping, backspace, discarding, resizing and refused sizes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "store_helpers.h"

namespace {

using Strings = std::vector<std::string>;

const LeadTrailSets kShiftJis = LeadTrailSets::ShiftJis();

struct Store : TextStore {
  explicit Store(uint32_t capacity = 16384, uint32_t lines = 10000, uint32_t wrap = 80) {
    Allocate(capacity, lines, wrap);
  }
};

// Numbered lines of ten bytes each: "L000abcd\r\n", "L001abcd\r\n", ...
std::string TenByteLines(int first, int count) {
  std::string text;
  for (int n = first; n < first + count; ++n) {
    char line[16];
    std::snprintf(line, sizeof(line), "L%03dabcd\r\n", n);
    text += line;
  }
  return text;
}

TEST(TextStore, BreakEndsLineWithItsBytes) {
  Store store;
  Put(store, "abc\r\n");
  EXPECT_EQ(store.lineCount, 1u);
  EXPECT_EQ(Lines(store), (Strings{"abc\r\n", ""}));
  EXPECT_EQ(store.LineStart(1), 5u);
}

TEST(TextStore, BreakPairsAndDoubles) {
  struct Case {
    std::string in;
    Strings lines;
  } cases[] = {
      {"\r\n\r\n", {"\r\n", "\r\n", ""}},
      {"\r\r", {"\r", "\r", ""}},
      {"\n\n", {"\n", "\n", ""}},
      {"x\n\r", {"x\n\r", ""}},
      {"\r\n\n", {"\r\n", "\n", ""}},
      {"\r\n\r", {"\r\n", "\r", ""}},
      {"a\n\r\n", {"a\n\r", "\n", ""}},
  };
  for (const Case& c : cases) {
    Store store;
    Put(store, c.in);
    EXPECT_EQ(Lines(store), c.lines) << "input of " << c.in.size() << " bytes";
  }
}

TEST(TextStore, CrAtEndOfOneWriteJoinsLfAtStartOfNext) {
  Store store;
  Put(store, "x\r");
  Put(store, "\n");
  Put(store, "y");
  EXPECT_EQ(Lines(store), (Strings{"x\r\n", "y"}));
}

TEST(TextStore, WrapsAtColumn) {
  Store store(16384, 10000, 80);
  Put(store, std::string(200, 'p'));
  EXPECT_EQ(Lines(store), (Strings{std::string(80, 'p'), std::string(80, 'p'), std::string(40, 'p')}));
}

TEST(TextStore, BreakRightBeforeWrapColumnJoinsTheLine) {
  Store store(16384, 10000, 80);
  Put(store, std::string(79, 'p') + "\r\n");
  EXPECT_EQ(Lines(store), (Strings{std::string(79, 'p') + "\r\n", ""}));
  Store full(16384, 10000, 80);
  Put(full, std::string(80, 'p') + "\r\n");
  EXPECT_EQ(Lines(full), (Strings{std::string(80, 'p'), "\r\n", ""}));
}

TEST(TextStore, BreakAfterWrappedLineIsALineOfItsOwn) {
  Store store(16384, 10000, 3);
  Put(store, "abc\r\n");
  EXPECT_EQ(Lines(store), (Strings{"abc", "\r\n", ""}));
}

// A double-byte character at the wrap column used to be split: its lead byte ended one line and
// its trail byte began the next, where every row and every discard of whole lines took it for a
// character of its own.
TEST(TextStore, DoubleByteCharacterAtWrapColumnIsNotSplit) {
  struct Case {
    uint32_t wrap;
    std::vector<std::string> writes;
    Strings lines;
  } cases[] = {
      {4, {"abc\x82\xa0"}, {"abc", "\x82\xa0"}},
      {4, {"abc\x82", "\xa0"}, {"abc", "\x82\xa0"}},  // the trail byte comes in the next write
      {4, {"ab\x82\xa0" "d"}, {"ab\x82\xa0", "d"}},     // a character that fits ends the line
      {4, {"abc\x82\x82\xa0"}, {"abc", "\x82\x82\xa0"}},  // 82 82 is one character, A0 one more
      {4, {"a\x82\xa0\x82\xa0"}, {"a\x82\xa0", "\x82\xa0"}},
      {4, {"abc\x82\r\n"}, {"abc", "\x82\r\n", ""}},  // a lone lead byte moves on too
      {1, {"\x82\xa0" "b"}, {"\x82\xa0", "b", ""}},   // a row's first character always fits
  };
  for (const Case& c : cases) {
    Store store(16384, 10000, c.wrap);
    store.codePage = &kShiftJis;
    for (const std::string& write : c.writes) Put(store, write);
    EXPECT_EQ(Lines(store), c.lines) << c.writes[0];
  }
  Store single(16384, 10000, 4);  // a single-byte code page wraps at the column
  Put(single, "abc\x82\xa0");
  EXPECT_EQ(Lines(single), (Strings{"abc\x82", "\xa0"}));

  // Whole lines go when the store fills: what stays still begins on a character.
  Store full(64, 100, 5);
  full.codePage = &kShiftJis;
  std::string kanji;
  for (int n = 0; n < 20; ++n) kanji += "\x82\xa0";
  Put(full, "ab" + kanji);
  Put(full, kanji);
  ASSERT_GT(full.frontPosition, 0u);
  for (const std::string& line : Lines(full)) {
    if (!line.empty()) EXPECT_EQ(uint8_t(line[0]), 0x82) << "a line begins with a trail byte";
  }
}

TEST(TextStore, BackspaceRemovesBytesWithinTheLine) {
  Store store;
  Put(store, "ab\b\bc");
  EXPECT_EQ(Lines(store), (Strings{"c"}));
  Store atStart;
  Put(atStart, "ab\r\n\b");
  EXPECT_EQ(Lines(atStart), (Strings{"ab\r\n", ""}));
  Store wrapped(16384, 10000, 2);
  Put(wrapped, "abc\b\b");
  EXPECT_EQ(Lines(wrapped), (Strings{"ab", ""}));
}

// A backspace used to take the line's last two bytes for one character whenever they formed a
// pair: after 8E 9A (one character) and x it removed 9A x and left the lone lead byte 8E.
TEST(TextStore, BackspaceAfterDoubleByteCharacterAndOneByteRemovesOnlyThatByte) {
  struct Case {
    std::string in, stored;
  } cases[] = {
      {"a\x82\xa0\b", "a"},
      {"\x8e\x9a" "x\b", "\x8e\x9a"},
      {"\x82\x82\xa0\b", "\x82\x82"},  // 82 82 is one character, A0 another
      {"\x8e\x9a" "x\b\b", ""},
      {"\x82\xa0\x82\xa0\b" "b", "\x82\xa0" "b"},
  };
  for (const Case& c : cases) {
    Store jis;
    jis.codePage = &kShiftJis;
    Put(jis, c.in);
    EXPECT_EQ(Stored(jis), c.stored) << c.in;
  }
  Store wrapped(16384, 10000, 4);  // pairs are counted from the line's start, not the store's
  wrapped.codePage = &kShiftJis;
  Put(wrapped, "abc\x82\xa0" "x\b");
  EXPECT_EQ(Lines(wrapped), (Strings{"abc", "\x82\xa0"}));
  Store single;  // single-byte code page: one byte goes
  Put(single, "a\x82\xa0\b");
  EXPECT_EQ(Stored(single), "a\x82");
}

TEST(TextStore, NulBytesAreStored) {
  Store store;
  Put(store, std::string("a\0b", 3));
  EXPECT_EQ(Stored(store), std::string("a\0b", 3));
}

TEST(TextStore, NothingToAppend) {
  Store store;
  store.Append(nullptr, 5);
  Put(store, "");
  EXPECT_EQ(store.used, 0u);
  EXPECT_EQ(store.lineCount, 0u);
}

TEST(TextStore, FullStoreDropsAsFewOfTheOldestLinesAsMakeRoom) {
  Store store(1024, 1000, 256);
  Put(store, TenByteLines(0, 100));
  ASSERT_EQ(store.used, 1000u);
  Put(store, std::string(28, 'x') + "\r\n");  // 1030 > 1024: one line of ten bytes goes
  EXPECT_EQ(store.used, 1000u - 10u + 30u);
  EXPECT_EQ(store.lineCount, 100u);
  EXPECT_EQ(Lines(store)[0], "L001abcd\r\n");
  Put(store, std::string(198, 'x') + "\r\n");  // 1220: twenty more go
  EXPECT_EQ(Lines(store)[0], "L021abcd\r\n");
  EXPECT_EQ(store.used, 1020u - 200u + 200u);
}

TEST(TextStore, FullLineTableDropsTheOldestLine) {
  Store store(160, 10, 256);
  for (int n = 0; n < 9; ++n) Put(store, "line " + std::to_string(n) + "\r\n");
  ASSERT_EQ(store.lineCount, 9u);
  Put(store, "abc\r\n");
  EXPECT_EQ(store.lineCount, 9u);
  const Strings lines = Lines(store);
  EXPECT_EQ(lines.front(), "line 1\r\n");
  EXPECT_EQ(lines[8], "abc\r\n");

  Store large(0x100000, 160, 256);
  for (int n = 0; n < 159; ++n) Put(large, "n" + std::to_string(n) + "\r\n");
  Put(large, "last\r\n");  // the oldest line goes
  EXPECT_EQ(large.lineCount, 159u);
  EXPECT_EQ(Lines(large).front(), "n1\r\n");
}

// A full line table used to drop the lines within the first sixteenth of the buffer's bytes: with
// a large buffer of short lines that was every line, so the whole history vanished each time the
// table filled.
TEST(TextStore, FullLineTableOfShortLinesInALargeBufferKeepsItsHistory) {
  Store store(0x100000, 10000, 256);
  for (int n = 0; n < 9999; ++n) Put(store, "ok\r\n");
  ASSERT_EQ(store.lineCount, 9999u);
  Put(store, "abc\r\n");
  EXPECT_EQ(store.lineCount, 9999u);
  const Strings lines = Lines(store);
  EXPECT_EQ(lines[lines.size() - 2], "abc\r\n");
  EXPECT_EQ(lines[lines.size() - 3], "ok\r\n");
}

// A line table of one entry has no room for a complete line: it is clamped to two.
TEST(TextStore, LineTableOfOneEntryIsClampedToTwo) {
  Store store(64, 1, 80);
  EXPECT_EQ(store.maxLines, 2u);
  Put(store, "a\r\nb\r\nc");
  EXPECT_EQ(Lines(store), (Strings{"b\r\n", "c"}));
  Store zero(64, 0, 80);  // none asked for: a line for every 16 bytes, 10,000 at least
  EXPECT_EQ(zero.maxLines, 10001u);
  Store large(1u << 26, 0, 80);  // 64 MiB keeps four million lines
  EXPECT_EQ(large.maxLines, (1u << 22) + 1);
}

TEST(TextStore, WriteLongerThanCapacityKeepsItsNewestWholeLines) {
  Store store(64, 100, 256);
  Put(store, "old\r\n");
  const std::string text = TenByteLines(0, 10);
  Put(store, text);
  EXPECT_EQ(Stored(store), text.substr(40));
  EXPECT_EQ(store.lineCount, 6u);
  Store narrow(8, 100, 256);  // a current line longer than the ring starts again
  Put(narrow, "0123456789ab");
  EXPECT_EQ(Lines(narrow), (Strings{"89ab"}));
}

TEST(TextStore, ClearEmptiesTheStore) {
  Store store(64, 8, 80);
  Put(store, "abc\r\ndef");
  store.selection.state = Selection::kFinished;
  store.Clear();
  EXPECT_EQ(store.used, 0u);
  EXPECT_EQ(store.lineCount, 0u);
  EXPECT_EQ(store.selection.state, Selection::kNone);
  EXPECT_EQ(Lines(store), (Strings{""}));
  Put(store, "x\r\n");
  EXPECT_EQ(Lines(store), (Strings{"x\r\n", ""}));
}

TEST(TextStore, RefusedBufferSizeLeavesNoArrays) {
  Store store(0, 100, 80);
  EXPECT_FALSE(store.HasArrays());
  Put(store, "abc\r\n");
  EXPECT_EQ(store.used, 0u);
  store.Clear();
  EXPECT_EQ(store.Resize(100, 50, 40), false);
  EXPECT_FALSE(store.HasArrays());
  EXPECT_EQ(store.maxLines, 50u);
}

TEST(TextStore, LoweringBufferSizeDiscardsWholeLinesAndResetsSelection) {
  Store store(1024, 1000, 256);
  const std::string text = TenByteLines(0, 100);
  Put(store, text);
  store.selection.state = Selection::kFinished;
  store.selection.end.offset = 999;
  EXPECT_TRUE(store.Resize(500, 0, 0));
  EXPECT_EQ(store.capacity, 500u);
  EXPECT_EQ(Stored(store), text.substr(510));  // the newest whole lines below 500 bytes
  EXPECT_EQ(store.lineCount, 49u);
  EXPECT_EQ(store.selection.state, Selection::kNone);
  EXPECT_EQ(store.selection.end.offset, 0);
}

TEST(TextStore, LoweringLineTableKeepsFewerLines) {
  Store store(1024, 1000, 256);
  const std::string text = TenByteLines(0, 100);
  Put(store, text);
  store.selection.state = Selection::kFinished;
  EXPECT_TRUE(store.Resize(0, 50, 0));
  EXPECT_EQ(store.maxLines, 50u);
  EXPECT_LE(store.lineCount, 49u);
  EXPECT_EQ(Stored(store), text.substr(text.size() - store.used));
  EXPECT_EQ(store.selection.state, Selection::kNone);
}

TEST(TextStore, ResizingWithoutDroppingKeepsBytesAndSelection) {
  Store store(1024, 100, 256);
  Put(store, "abc\r\ndef");
  store.selection.state = Selection::kFinished;
  store.selection.end.offset = 6;
  EXPECT_FALSE(store.Resize(4096, 200, 10));
  EXPECT_EQ(store.capacity, 4096u);
  EXPECT_EQ(store.maxLines, 200u);
  EXPECT_EQ(store.wrapColumn, 10u);
  EXPECT_EQ(Lines(store), (Strings{"abc\r\n", "def"}));
  EXPECT_EQ(store.selection.state, Selection::kFinished);
  Put(store, std::string(20, 'x'));  // old lines keep their length, new text wraps at 10
  EXPECT_EQ(Lines(store), (Strings{"abc\r\n", "defxxxxxxx", std::string(10, 'x'), "xxx"}));
}

TEST(TextStore, ZeroAndNegativeSizesChangeNothing) {
  Store store(1024, 100, 80);
  Put(store, "abc\r\n");
  EXPECT_FALSE(store.Resize(0, 0, 0));
  EXPECT_FALSE(store.Resize(uint32_t(-1), uint32_t(-8), uint32_t(-3)));
  EXPECT_EQ(store.capacity, 1024u);
  EXPECT_EQ(store.maxLines, 100u);
  EXPECT_EQ(store.wrapColumn, 80u);
  store.Resize(0, 1, 0);  // a one-entry table becomes two
  EXPECT_EQ(store.maxLines, 2u);
  EXPECT_LE(store.lineCount, 1u);
}

TEST(SnapToCharacter, MovesEndsToWholeShiftJisCharacters) {
  Store store;
  store.codePage = &kShiftJis;
  Put(store, "a\x82\xa0" "b\x83\x40");
  const auto snap = [&](int32_t offset, bool isLow) {
    return store.SnapToCharacter(TextPosition{offset, 0, 6}, isLow);
  };
  EXPECT_EQ(snap(1, false), 2);  // higher end on a lead byte takes the trail byte
  EXPECT_EQ(snap(2, true), 1);   // lower end on a trail byte takes the lead byte
  EXPECT_EQ(snap(1, true), 1);
  EXPECT_EQ(snap(2, false), 2);
  EXPECT_EQ(snap(4, false), 5);
  EXPECT_EQ(snap(5, true), 4);
  EXPECT_EQ(snap(3, true), 3);
  EXPECT_EQ(store.SnapToCharacter(TextPosition{2, -1, 6}, true), 2);  // no row
  EXPECT_EQ(store.SnapToCharacter(TextPosition{2, 2, 1}, true), 2);   // row too short
  // A row taken before bytes went is walked only over what is stored.
  EXPECT_EQ(store.SnapToCharacter(TextPosition{5, 0, 4000}, true), 4);
}

TEST(SnapToCharacter, PairsAreFoundFromTheRowStart) {
  Store store;
  store.codePage = &kShiftJis;
  Put(store, "\x82\x82\xa0");  // 82 82 is a character, A0 stands alone
  EXPECT_EQ(store.SnapToCharacter(TextPosition{1, 0, 3}, true), 0);
  EXPECT_EQ(store.SnapToCharacter(TextPosition{2, 0, 3}, true), 2);
  EXPECT_EQ(store.SnapToCharacter(TextPosition{1, 1, 2}, true), 1);  // from offset 1: 82 A0 pairs
  EXPECT_EQ(store.SnapToCharacter(TextPosition{1, 1, 2}, false), 2);
}

TEST(SnapToCharacter, SingleByteCodePageNeverMoves) {
  Store store;
  Put(store, "a\x82\xa0");
  EXPECT_EQ(store.SnapToCharacter(TextPosition{1, 0, 3}, false), 1);
  EXPECT_EQ(store.SnapToCharacter(TextPosition{2, 0, 3}, true), 2);
}

}  // namespace

namespace {

// frontPosition turns an offset into a position in everything the store took in, so that a
// position remembered before older lines went can be found again (or known to be gone).
TEST(TextStore, FrontPositionCountsEveryByteThatLeftTheFront) {
  Store store(1024, 1000, 256);
  Put(store, TenByteLines(0, 100));
  EXPECT_EQ(store.frontPosition, 0u);
  Put(store, std::string(28, 'x') + "\r\n");  // one line of ten bytes goes
  EXPECT_EQ(store.frontPosition, 10u);
  EXPECT_EQ(Lines(store)[0], "L001abcd\r\n");

  Store table(16384, 17, 256);  // a full line table drops one line
  Put(table, TenByteLines(0, 17));
  EXPECT_EQ(table.frontPosition, 10u);

  const uint32_t before = store.used;
  store.Resize(512, 0, 0);  // shrinking drops whole lines
  EXPECT_EQ(store.frontPosition, 10u + (before - store.used));

  const uint64_t beforeClear = store.frontPosition + store.used;
  store.Clear();
  EXPECT_EQ(store.frontPosition, beforeClear) << "a position taken before the clear lies before the front";
  Put(store, "abc");
  store.Allocate(2048, 100, 80);
  EXPECT_EQ(store.frontPosition, beforeClear + 3);
}

}  // namespace
