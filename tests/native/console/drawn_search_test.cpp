// Find over the lines as drawn: a gutter's text is found, a hit may run from a gutter into its
// line, hidden lines stay out, and the hit is the stored bytes it shows.
#include <gtest/gtest.h>

#include <string>

#include "console/drawn_search.h"
#include "store_helpers.h"

namespace {

int window;

// "<k> " before each line that holds bytes, k its stored line number.
struct NumberGutter : LineGutter {
  void Append(const TextStore&, uint32_t line, std::string& out) const override {
    out += "<" + std::to_string(line) + "> ";
  }
  uint32_t Widest(const TextStore&) const override { return drawn ? 6 : 0; }
  bool drawn = true;
};

struct DrawnSearch : ::testing::Test {
  TextStore store;
  ConsoleSettings settings;
  TextView view;
  NumberGutter gutter;

  void SetUp() override {
    store.utf8 = true;
    store.Allocate(16384, 1000, 80);
    view.Attach(&window, store, settings);
    view.gutter = &gutter;
    for (const char* text : {"alpha one\r\n", "beta two\r\n", "gamma \xCE\xA3\r\n", "delta four\r\n"}) {
      StoredMessage message;
      store.BeginMessage(message);
      Put(store, text);
    }
  }
  SearchHit Find(const std::string& pattern, bool down, uint32_t from, bool matchCase = false) {
    SearchRequest request;
    request.pattern = reinterpret_cast<const uint8_t*>(pattern.data());
    request.patternLength = uint32_t(pattern.size());
    request.down = down;
    request.from = from;
    request.matchCase = matchCase;
    return FindInDrawnText(view, CaseFolding::Ascii(), request, code_page::UnicodeFolding::Ascii());
  }
  std::string HitText(const SearchHit& hit) { return hit.found ? StoredRange(store, hit.offset, hit.length) : "(none)"; }
};

TEST_F(DrawnSearch, GuttersAreFoundAndHitsMapToTheBytesTheyShow) {
  const uint32_t line2 = store.LineStart(2);
  const struct {
    std::string pattern;
    bool down;
    uint32_t from;
    std::string shown;  // the stored bytes of the hit
    uint32_t offset;
  } cases[] = {
      {"two", true, 0, "two", store.LineStart(1) + 5},
      {"<2>", true, 0, "g", line2},             // in the gutter alone: the line's first character
      {"<2> gam", true, 0, "gam", line2},       // from the gutter into the text
      {"> g", true, 0, "g", line2},             // ends in the text
      {"\r\n<3", true, 0, "\r\nd", line2 + 8},  // from a line's end into the next one's gutter
      {"<1>", false, store.used, "b", store.LineStart(1)},
      {"<0>", true, 1, "(none)", 0},            // a gutter before `from` is passed
      {"a ", false, line2, "a ", store.LineStart(1) + 3},  // up: the last hit before from ("beta two")
      {"a ", false, store.LineStart(1) + 3, "a ", 4},        // and the one before it ("alpha one")
      {"\xCE\xA3\r\n<3> D", true, 0, "\xCE\xA3\r\nd", line2 + 6},
  };
  for (const auto& c : cases) {
    const SearchHit hit = Find(c.pattern, c.down, c.from);
    EXPECT_EQ(HitText(hit), c.shown) << c.pattern;
    if (hit.found) EXPECT_EQ(hit.offset, c.offset) << c.pattern;
  }
}

TEST_F(DrawnSearch, HiddenLinesAndGuttersThatDrawNothingStayOut) {
  store.MessageByNumber(2)->mark = StoredMessage::kHidden;  // "gamma"
  store.RebuildShownLines();
  EXPECT_EQ(HitText(Find("<2>", true, 0)), "(none)");
  EXPECT_EQ(HitText(Find("two\r\n<3>", true, 0)), "(none)") << "no hit takes in a hidden line's place";
  EXPECT_EQ(HitText(Find("<3> delta", true, 0)), "delta");
  gutter.drawn = false;
  EXPECT_EQ(HitText(Find("<3>", true, 0)), "(none)");
  EXPECT_EQ(HitText(Find("delta", true, 0)), "delta");
}

}  // namespace
