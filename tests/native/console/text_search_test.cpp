// Text search over the store's bytes: directions and starts, whole characters in Shift-JIS, case
// folding of single-byte letters only, matches across wrap points, at the ends, after discards.
#include <gtest/gtest.h>

#include <string>

#include "console/text_search.h"
#include "store_helpers.h"

namespace {

const LeadTrailSets kShiftJis = LeadTrailSets::ShiftJis();
const LeadTrailSets kSingleByte = LeadTrailSets::SingleByte();
const CaseFolding kAscii = CaseFolding::Ascii();

struct Search {
  std::string pattern;
  bool down;
  uint32_t from;
  bool matchCase;
};

// The offset of the hit, or -1 when none.
int64_t Find(const std::string& text, const Search& search, const LeadTrailSets* codePage,
             const CaseFolding& folding = kAscii) {
  SearchRequest request;
  request.pattern = reinterpret_cast<const uint8_t*>(search.pattern.data());
  request.patternLength = uint32_t(search.pattern.size());
  request.down = search.down;
  request.from = search.from;
  request.matchCase = search.matchCase;
  const SearchHit hit =
      FindInText(reinterpret_cast<const uint8_t*>(text.data()), uint32_t(text.size()), codePage, folding, request);
  if (!hit.found) return -1;
  EXPECT_EQ(hit.length, search.pattern.size());
  return hit.offset;
}

struct Case {
  const char* name;
  std::string text;
  Search search;
  int64_t expected;
};

TEST(TextSearch, DirectionsAndStartingPoints) {
  const std::string text = "abc abc abc";
  const Case cases[] = {
      {"down from the start finds the first", text, {"abc", true, 0, true}, 0},
      {"down from inside a match finds the next", text, {"abc", true, 1, true}, 4},
      {"down from a match's own start finds it", text, {"abc", true, 4, true}, 4},
      {"down past the last: none", text, {"abc", true, 9, true}, -1},
      {"down from beyond the end: none", text, {"abc", true, 50, true}, -1},
      {"up from the end finds the last", text, {"abc", false, 11, true}, 8},
      {"up: a match must end at or before from", text, {"abc", false, 10, true}, 4},
      {"up from a match's start finds the one before", text, {"abc", false, 8, true}, 4},
      {"up from the start: none", text, {"abc", false, 0, true}, -1},
      {"up from beyond the end finds the last", text, {"abc", false, 99, true}, 8},
      {"overlapping: down from 1 finds the second", "aaaa", {"aa", true, 1, true}, 1},
      {"overlapping: up finds the last that ends in time", "aaaa", {"aa", false, 3, true}, 1},
      {"at the very start", "xy...", {"xy", true, 0, true}, 0},
      {"at the very end", "...xy", {"xy", true, 0, true}, 3},
      {"the whole text", "xy", {"xy", false, 2, true}, 0},
      {"longer than the text", "xy", {"xyz", true, 0, true}, -1},
      {"empty pattern finds nothing", "xy", {"", true, 0, true}, -1},
      {"empty text", "", {"x", true, 0, true}, -1},
      {"not there", text, {"abd", true, 0, true}, -1},
      {"a match across a line end", "one\r\ntwo", {"e\r\nt", true, 0, true}, 2},
      {"NUL bytes are bytes", std::string("a\0b", 3), {std::string("\0b", 2), true, 0, true}, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Find(c.text, c.search, &kSingleByte), c.expected) << c.name;
    EXPECT_EQ(Find(c.text, c.search, nullptr), c.expected) << c.name << " (no code page)";
  }
}

TEST(TextSearch, CaseFoldingTouchesSingleByteLettersOnly) {
  // In Shift-JIS, 0x83 0x41 and 0x83 0x61 are two different katakana whose trail bytes are the
  // values of 'A' and 'a'; full-width letters are double-byte and keep their case.
  const std::string katakanaA = "\x83\x41";
  const std::string katakanaSmall = "\x83\x61";
  const std::string fullWidthA = "\x82\x60";   // Ａ
  const std::string fullWidthLa = "\x82\x81";  // ａ
  const Case cases[] = {
      {"ASCII letters fold without match case", "Hello World", {"WORLD", true, 0, false}, 6},
      {"and do not with it", "Hello World", {"WORLD", true, 0, true}, -1},
      {"digits and marks are equal only to themselves", "a1-b", {"A1-B", true, 0, false}, 0},
      {"a trail byte is never folded", "x" + katakanaSmall, {"x" + katakanaA, true, 0, false}, -1},
      {"nor the pattern's", "x" + katakanaA, {"x" + katakanaSmall, true, 0, false}, -1},
      {"a double-byte character matches itself", "x" + katakanaA, {katakanaA, true, 0, false}, 1},
      {"full-width letters keep their case", fullWidthA, {fullWidthLa, true, 0, false}, -1},
      {"a single-byte letter after a double-byte one folds", katakanaA + "B", {katakanaA + "b", true, 0, false}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Find(c.text, c.search, &kShiftJis), c.expected) << c.name;
  // In a single-byte code page the same bytes are two characters each, and 'A' folds.
  EXPECT_EQ(Find("x" + katakanaSmall, {"x" + katakanaA, true, 0, false}, &kSingleByte), 0);
}

TEST(TextSearch, AMatchNeverStartsOnATrailByteNorEndsInsideACharacter) {
  // 本 is 0x96 0x7B: its trail byte has the value of '{'. ソ is 0x83 0x5C: a backslash's value.
  const std::string hon = "\x96\x7B";
  const std::string so = "\x83\x5C";
  const Case cases[] = {
      {"'{' is not found in the trail byte of hon", hon + "x", {"{", true, 0, true}, -1},
      {"but after it", hon + "{", {"{", true, 0, true}, 2},
      {"up: the same", "{" + hon, {"{", false, 3, true}, 0},
      {"a backslash inside so is no backslash", so + "\\", {"\\", true, 0, true}, 2},
      {"a trail byte and the next character are not a match", hon + "ab", {"{a", true, 0, true}, -1},
      {"a lone lead byte in the pattern does not match a character's first half", hon, {"\x96", true, 0, true}, -1},
      {"double-byte text found whole", "ab" + hon + so, {hon + so, true, 0, true}, 2},
      {"a lead byte before a byte that cannot trail stands alone", "\x96 " + hon, {" " + hon, true, 0, true}, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(Find(c.text, c.search, &kShiftJis), c.expected) << c.name;
  // Without double-byte characters every byte starts a character.
  EXPECT_EQ(Find(hon + "x", {"{", true, 0, true}, &kSingleByte), 1);
}

TEST(TextSearch, FoldingTableDecidesWhichSingleByteLettersFold) {
  // A code page's own table may fold more than ASCII (é and É in code page 1252).
  CaseFolding latin = CaseFolding::Ascii();
  latin.lower[0xC9] = 0xE9;
  EXPECT_EQ(Find("caf\xC9", {"caf\xE9", true, 0, false}, &kSingleByte, latin), 0);
  EXPECT_EQ(Find("caf\xC9", {"caf\xE9", true, 0, false}, &kSingleByte, kAscii), -1);
  EXPECT_EQ(Find("ABC", {"abc", true, 0, false}, &kSingleByte, CaseFolding::None()), -1);
}

// The search runs over the store's bytes, so the rows a line wraps into do not matter.
TEST(TextSearch, FindsTextAcrossWrapPointsAndAfterDiscards) {
  TextStore store;
  store.codePage = &kShiftJis;
  store.Allocate(256, 100, 8);
  Put(store, "0123456789abcdef\r\n");  // wraps after 8 bytes: "01234567" "89abcdef" "\r\n"
  ASSERT_GE(store.lineCount, 2u);
  SearchRequest request;
  const std::string pattern = "6789";
  request.pattern = reinterpret_cast<const uint8_t*>(pattern.data());
  request.patternLength = 4;
  SearchHit hit = FindInText(store.Pieces(0, store.used), store.codePage, kAscii, request);
  ASSERT_TRUE(hit.found);
  EXPECT_EQ(hit.offset, 6u);

  // A double-byte character cut by the wrap column is still one character to the search.
  store.Clear();
  Put(store, "1234567\x96\x7B\r\n");  // the eighth and ninth bytes are hon
  const std::string hon = "\x96\x7B";
  request.pattern = reinterpret_cast<const uint8_t*>(hon.data());
  request.patternLength = 2;
  hit = FindInText(store.Pieces(0, store.used), store.codePage, kAscii, request);
  ASSERT_TRUE(hit.found);
  EXPECT_EQ(hit.offset, 7u);

  // Lines discarded from the front: offsets are those of the bytes still stored.
  store.Clear();
  const uint64_t clearedAt = store.frontPosition;
  for (int i = 0; i < 40; ++i) Put(store, "line " + std::to_string(i) + "\r\n");
  ASSERT_GT(store.frontPosition, clearedAt) << "the store discarded its first lines";
  const std::string last = "line 39";
  request.pattern = reinterpret_cast<const uint8_t*>(last.data());
  request.patternLength = uint32_t(last.size());
  hit = FindInText(store.Pieces(0, store.used), store.codePage, kAscii, request);
  ASSERT_TRUE(hit.found);
  EXPECT_EQ(Stored(store).substr(hit.offset, last.size()), last);
  EXPECT_EQ(hit.offset + last.size() + 2, store.used);
  const std::string gone = "line 0\r";
  request.pattern = reinterpret_cast<const uint8_t*>(gone.data());
  request.patternLength = uint32_t(gone.size());
  EXPECT_FALSE(FindInText(store.Pieces(0, store.used), store.codePage, kAscii, request).found);
}

}  // namespace
