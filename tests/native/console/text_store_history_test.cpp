// The store as a history: a small ring that discards thousands of times holds exactly the newest
// whole lines of what a store large enough to keep everything holds, with their messages, and
// reads the same through the view and the search across the ring's edge; memory that cannot be
// had halves the ring.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "console/text_search.h"
#include "console/text_view.h"
#include "store_helpers.h"

namespace {

const LeadTrailSets kShiftJis = LeadTrailSets::ShiftJis();
const LeadTrailSets kSingleByte = LeadTrailSets::SingleByte();

// Cells of every row the view lays out from line first on, one string per row.
struct RowText : RowPainter {
  std::vector<std::string> rows;
  int lastY = -1;
  int DrawRun(int, int y, const Cell* cells, int count, int) override {
    if (y != lastY) rows.emplace_back();
    lastY = y;
    rows.back().append(cells, cells + count);
    return count;
  }
  void FillEmpty(int, int y, int, int) override {
    if (y != lastY) rows.emplace_back();
    lastY = y;
  }
};

std::vector<std::string> Rows(const TextStore& store, uint32_t firstLine, const ConsoleSettings& settings) {
  TextView view;
  int window = 0;
  view.Attach(&window, store, settings);
  RowPassFrame frame;
  frame.right = 1000;
  frame.bottom = int(store.lineCount - firstLine + 1) * 3;  // room for every row of every line
  frame.vPos = int(firstLine);
  frame.charWidth = 1;
  frame.lineHeight = 1;
  RowText painter;
  view.Paint(frame, painter);
  return painter.rows;
}

TEST(TextStoreHistory, ASmallRingKeepsExactlyTheNewestWholeLinesOfEverything) {
  struct Case {
    const LeadTrailSets* codePage;
    uint32_t capacity, lineLimit, wrap;
  } cases[] = {
      {&kShiftJis, 997, 0, 40},   // the line bound follows the bytes
      {&kShiftJis, 256, 0, 17},
      {&kSingleByte, 4099, 0, 80},
      {&kShiftJis, 1500, 12, 33},  // a line bound tighter than the bytes
  };
  static const uint8_t alphabet[] = {'a', 'Z', ' ', '\r', '\n', '\t', 0x82, 0xA0, 0x83, 0x40, 0x96, 0x7B, 0x00};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "capacity " << c.capacity << ", wrap " << c.wrap);
    TextStore small, everything;
    small.codePage = everything.codePage = c.codePage;
    ASSERT_TRUE(small.Allocate(c.capacity, c.lineLimit, c.wrap));
    ASSERT_TRUE(everything.Allocate(1u << 22, 1u << 20, c.wrap));
    ConsoleSettings settings;
    settings.wrapColumn = int32_t(c.wrap);
    std::mt19937 random(c.capacity);
    std::uniform_int_distribution<size_t> pick(0, sizeof(alphabet) - 1), length(0, 90);
    int leadAtEdge = 0;
    for (int step = 0; step < 6000 && !HasFailure(); ++step) {
      if (step % 3 == 0) {
        StoredMessage message;
        message.pid = uint32_t(step);
        small.BeginMessage(message);
        everything.BeginMessage(message);
      }
      std::string text(length(random), '\0');
      for (char& b : text) b = char(alphabet[pick(random)]);
      Put(small, text);
      Put(everything, text);
      const TextPieces pieces = small.Pieces(0, small.used);
      const uint32_t edge = pieces.firstLength;
      if (pieces.secondLength != 0 && small.IsDoubleByte(pieces[edge - 1], pieces[edge])) ++leadAtEdge;
      if (step % 50 != 49) continue;

      const std::vector<std::string> kept = Lines(small), all = Lines(everything);
      ASSERT_LE(kept.size(), all.size());
      const size_t first = all.size() - kept.size();
      ASSERT_EQ(kept, std::vector<std::string>(all.begin() + long(first), all.end())) << "step " << step;
      if (first > 0) {
        // Nothing more fits: the next older line would overflow the ring or the line bound.
        const bool bytesFull = small.used + all[first - 1].size() > small.capacity;
        ASSERT_TRUE(bytesFull || small.lineCount == small.maxLines - 1) << "step " << step;
      }
      for (uint32_t k = 0; k <= small.lineCount; ++k) {
        const StoredMessage* message = small.MessageOfLine(k);
        const StoredMessage* expected = everything.MessageOfLine(uint32_t(first) + k);
        ASSERT_EQ(message == nullptr, expected == nullptr) << "line " << k;
        if (message) ASSERT_EQ(message->pid, expected->pid) << "line " << k;
      }
      // The view lays the rows out, and the search finds, as over one run of bytes.
      ASSERT_EQ(Rows(small, 0, settings), Rows(everything, uint32_t(first), settings)) << "step " << step;
      const std::string stored = Stored(small);
      if (edge >= 2 && edge + 2 <= small.used) {
        const std::string pattern = stored.substr(edge - 2, 4);
        SearchRequest request;
        request.pattern = reinterpret_cast<const uint8_t*>(pattern.data());
        request.patternLength = 4;
        request.matchCase = true;
        const SearchHit inRing = FindInText(pieces, c.codePage, CaseFolding::None(), request);
        const SearchHit inOneRun = FindInText(reinterpret_cast<const uint8_t*>(stored.data()), uint32_t(stored.size()),
                                              c.codePage, CaseFolding::None(), request);
        ASSERT_EQ(inRing.found, inOneRun.found);
        ASSERT_EQ(inRing.offset, inOneRun.offset);
      }
    }
    ASSERT_GT(small.frontPosition, 50u * c.capacity) << "the ring went round many times";
    if (c.codePage == &kShiftJis) EXPECT_GT(leadAtEdge, 0) << "no double-byte character met the ring's edge";
  }
}

// Messages marked hidden at random, while old lines go and marks change: the shown-line index, the
// rows a paint shows, Copy and the search all see exactly the lines of shown messages.
TEST(TextStoreHistory, HiddenMessagesLeaveTheIndexTheRowsCopyAndTheSearch) {
  TextStore store;
  store.codePage = &kShiftJis;
  ASSERT_TRUE(store.Allocate(3001, 0, 30));
  ConsoleSettings settings;
  settings.wrapColumn = 30;
  std::mt19937 random(99);
  std::uniform_int_distribution<int> percent(0, 99), length(1, 70);
  for (int step = 0; step < 3000 && !HasFailure(); ++step) {
    StoredMessage message;
    message.mark = percent(random) < 40 ? StoredMessage::kHidden : uint8_t(percent(random) % 3);
    store.BeginMessage(message);
    std::string text = "m" + std::to_string(step) + " " + std::string(size_t(length(random)), 'x') + "\r\n";
    if (percent(random) < 10) text.insert(2, "\x82\xA0");
    Put(store, text);
    if (percent(random) < 3) {  // new marks for everything stored, as a change of rules makes
      for (uint64_t n = store.FirstMessageNumber(); n < store.NextMessageNumber(); ++n) {
        if (StoredMessage* stored = store.MessageByNumber(n)) stored->mark = percent(random) < 50 ? StoredMessage::kHidden : 0;
      }
      store.RebuildShownLines();
    }
    if (step % 20 != 19) continue;

    std::vector<uint32_t> shown;
    std::string shownText;
    for (uint32_t k = 0; k <= store.lineCount; ++k) {
      if (!store.LineShown(k)) continue;
      ASSERT_EQ(store.ShownLinesBefore(k), shown.size()) << "line " << k;
      shown.push_back(k);
      shownText += StoredRange(store, store.LineStart(k), store.LineEnd(k) - store.LineStart(k));
    }
    ASSERT_EQ(store.ShownLineCount(), shown.size()) << "step " << step;
    for (uint32_t v = 0; v < shown.size(); ++v) ASSERT_EQ(store.ShownLine(v), shown[v]) << "step " << step;
    uint64_t hidden = 0;
    for (uint64_t n = store.FirstMessageNumber(); n < store.NextMessageNumber(); ++n) {
      const StoredMessage* stored = store.MessageByNumber(n);
      hidden += stored && stored->mark == StoredMessage::kHidden ? 1 : 0;
    }
    ASSERT_EQ(store.HiddenMessageCount(), hidden);

    // A line joined with its CR LF may run one byte past the row: rows of 30 bytes.
    std::vector<std::string> expectedRows;
    for (uint32_t k : shown) {
      std::string line = StoredRange(store, store.LineStart(k), store.LineEnd(k) - store.LineStart(k));
      for (char& c : line) c = (c == '\r' || c == '\n') ? ' ' : c;
      for (size_t at = 0; at < line.size() || at == 0; at += 30) expectedRows.push_back(line.substr(at, 30));
    }
    std::vector<std::string> rows = Rows(store, 0, settings);
    rows.resize(expectedRows.size());
    ASSERT_EQ(rows, expectedRows) << "step " << step;

    std::string copied(store.used, '\0');
    copied.resize(store.CopyShown(0, store.used, reinterpret_cast<uint8_t*>(&copied[0])));
    ASSERT_EQ(copied, shownText);
    // A search finds a shown message's name, and "m" only where a shown line holds one.
    const size_t at = shownText.find('m');
    const std::string pattern = at == std::string::npos ? "m" : shownText.substr(at, shownText.find_first_of(" \r", at) - at);
    SearchRequest request;
    request.pattern = reinterpret_cast<const uint8_t*>(pattern.data());
    request.patternLength = uint32_t(pattern.size());
    request.matchCase = true;
    const SearchHit hit = FindInShownText(store, CaseFolding::Ascii(), request);
    ASSERT_EQ(hit.found, at != std::string::npos) << "step " << step;
    if (hit.found) {
      ASSERT_TRUE(store.LineShown(store.LineAt(hit.offset)));
      ASSERT_EQ(StoredRange(store, hit.offset, hit.length), pattern);
    }
  }
}

// A sender's clock may be far from the monitor's (a time set by hand, a foreign writer): its time is
// kept whole, so that its stamp shows what the sender said.
TEST(StoredMessage, KeepsTheSendersTimeWhole) {
  const uint64_t arrival = 133500000000000000ull;  // a FILETIME of 2024
  const struct {
    uint64_t sent, kept;
  } cases[] = {
      {0, 0},                                               // none
      {arrival, arrival},                                   // the same tick
      {arrival + 1, arrival + 1},                           // 100 ns later
      {arrival - 10000000, arrival - 10000000},             // a second earlier
      {arrival + 2000000000ull, arrival + 2000000000ull},   // 200 s later
      {arrival + 3000000000ull, arrival + 3000000000ull},   // 5 minutes
      {arrival - 360000000000ull, arrival - 360000000000ull},  // 10 hours earlier
      {1, 1},
  };
  for (const auto& c : cases) {
    StoredMessage message;
    message.SetTimes(arrival, c.sent);
    EXPECT_EQ(message.Arrival(), arrival);
    EXPECT_EQ(message.Sent(), c.kept) << c.sent;
  }
}

size_t gAllocationLimit = 0;
uint8_t* LimitedAllocation(size_t bytes) { return bytes <= gAllocationLimit ? TextStore::AllocateBytes(bytes) : nullptr; }

TEST(TextStoreHistory, MemoryThatCannotBeHadHalvesTheRingDownToTheSmallestSize) {
  struct Case {
    uint32_t asked;
    size_t limit;
    uint32_t got;  // 0: no ring
  } cases[] = {
      {1u << 30, 300u << 20, 1u << 28},
      {1u << 30, 1u << 30, 1u << 30},
      {100 * 1024, 64 * 1024, 64 * 1024},  // halving stops at 64 KB, not at 50 KB
      {100 * 1024, 60 * 1024, 0},
      {32 * 1024, 40 * 1024, 32 * 1024},  // a small size is only tried as it is
      {32 * 1024, 20 * 1024, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.asked << " with " << c.limit);
    gAllocationLimit = c.limit;
    TextStore store;
    store.allocate = LimitedAllocation;
    EXPECT_EQ(store.Allocate(c.asked, 0, 80), c.got != 0);
    EXPECT_EQ(store.capacity, c.got);
    EXPECT_EQ(store.shortOfMemory, c.got != c.asked);
    EXPECT_EQ(store.maxLines, std::max(c.got / 16, 10000u) + 1);
  }
  // Growing beyond what memory gives keeps the store as it was, and says so.
  gAllocationLimit = 1u << 20;
  TextStore store;
  store.allocate = LimitedAllocation;
  ASSERT_TRUE(store.Allocate(64 * 1024, 0, 80));
  Put(store, "kept\r\n");
  store.Resize(1u << 30, 0, 0);
  EXPECT_EQ(store.capacity, 1u << 20);
  EXPECT_TRUE(store.shortOfMemory);
  EXPECT_EQ(Stored(store), "kept\r\n");
  gAllocationLimit = 0;
  store.Resize(1u << 30, 0, 0);  // asked again: not tried again
  EXPECT_EQ(store.capacity, 1u << 20);
  store.Resize(1u << 29, 0, 0);
  EXPECT_EQ(store.capacity, 1u << 20);
  EXPECT_EQ(Stored(store), "kept\r\n");
}

// Where each message's bytes are: a message that continues a line begins inside it, a backspace
// moves the beginning of what it took back, and a message whose beginning left is not whole.
TEST(TextStoreHistory, EachMessageKnowsWhereItsBytesAre) {
  const struct {
    const char* name;
    std::vector<std::string> messages;
    uint32_t capacity, wrap;
    std::vector<std::string> bytes;  // "?" for a message not stored whole
  } cases[] = {
      {"lines of their own", {"a\r\n", "bc\r\n"}, 4096, 80, {"a\r\n", "bc\r\n"}},
      {"continued lines", {"ab", "cd", "e\r\nf", "g\r\n"}, 4096, 80, {"ab", "cd", "e\r\nf", "g\r\n"}},
      {"empty messages", {"", "a", "", "b\r\n", ""}, 4096, 80, {"", "a", "", "b\r\n", ""}},
      {"wrapped into lines of the next", {"abc", "defgh"}, 4096, 4, {"abc", "defgh"}},
      {"backspace takes back the message before", {"abc", "\b\bX"}, 4096, 80, {"a", "X"}},
      {"and two before", {"ab", "c", "\b\b\bY\r\n"}, 4096, 80, {"", "", "Y\r\n"}},
      {"never across a line end", {"a\r\n", "\bb"}, 4096, 80, {"a\r\n", "b"}},
      {"begun in a line that left", {"ab", "cd\r\nef", "ghijklmnopq"}, 16, 80, {"?", "?", "ghijklmnopq"}},
      {"the first line gone, the rest kept", {"abcdefghijkl", "mnopqr"}, 16, 4, {"?", "mnopqr"}},
  };
  for (const auto& c : cases) {
    TextStore store;
    ASSERT_TRUE(store.Allocate(c.capacity, 0, c.wrap)) << c.name;
    for (const std::string& text : c.messages) {
      store.BeginMessage(StoredMessage());
      Put(store, text);
    }
    for (size_t n = 0; n < c.bytes.size(); ++n) {
      uint32_t offset = 0, length = 0;
      const bool whole = store.MessageBytes(n, offset, length);
      EXPECT_EQ(whole ? StoredRange(store, offset, length) : std::string("?"), c.bytes[n]) << c.name << ", message " << n;
    }
  }
}

// A mark set afterwards moves the message's lines in or out of the shown ones at once.
TEST(TextStoreHistory, AMarkSetLaterHidesAndShowsTheLinesOfItsMessage) {
  TextStore store;
  ASSERT_TRUE(store.Allocate(4096, 0, 4));
  for (const char* text : {"one\r\n", "two, wrapped\r\n", "three\r\n"}) {
    store.BeginMessage(StoredMessage());
    Put(store, text);
  }
  const uint32_t all = store.ShownLineCount();
  store.SetMark(1, StoredMessage::kHidden);
  EXPECT_EQ(store.ShownLineCount(), all - 4) << "the four rows of the second message";
  EXPECT_EQ(store.HiddenMessageCount(), 1u);
  store.SetMark(1, 2);
  EXPECT_EQ(store.ShownLineCount(), all);
  EXPECT_EQ(store.HighlightOf(2), 2);
  EXPECT_EQ(store.HiddenMessageCount(), 0u);
  store.SetMark(7, StoredMessage::kHidden);  // no such message
  EXPECT_EQ(store.ShownLineCount(), all);
}

TEST(LeadTrailSets, ALeadByteLeftAloneAtTheEndIsNoWholeCharacter) {
  const LeadTrailSets sjis = LeadTrailSets::ShiftJis();
  const struct {
    const char* name;
    std::string text;
    bool doubleByte;
    size_t whole;
  } cases[] = {
      {"plain", "abc", true, 3},
      {"a pair at the end", "a\x93\xFA", true, 3},
      {"a lone lead at the end", "ab\x93", true, 2},
      {"a pair then a lone lead", "\x93\xFA\x96", true, 2},
      {"a trail-like byte after a pair", "\x93\xFA\x82", true, 2},
      {"0x82 as the trail of the pair before", "\x81\x82", true, 2},
      {"the same bytes in a single-byte code page", "ab\x93", false, 3},
      {"empty", "", true, 0},
  };
  for (const auto& c : cases) {
    const LeadTrailSets sets = c.doubleByte ? sjis : LeadTrailSets::SingleByte();
    EXPECT_EQ(sets.WholeCharacters(reinterpret_cast<const uint8_t*>(c.text.data()), c.text.size()), c.whole) << c.name;
  }
}

}  // namespace
