// The console on the Japanese code page (932): its double-byte characters, taken in as the
// monitor takes them (made UTF-8 by the system's own conversion), stay whole when selected,
// deleted, wrapped and drawn, and take two cells.
#include "console_fixture.h"
#include "tests/support/stored_text.h"

namespace {

class ConsoleCp932 : public ConsoleFixture {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 932u) << "run with LANG=ja_JP.UTF-8 and LOCPATH naming the built locale";
  }
  // Text of the code page, stored as the console keeps it.
  void WriteCp932(const std::string& bytes) {
    wchar_t wide[512];
    const int units = MultiByteToWideChar(932, 0, bytes.data(), int(bytes.size()), wide, 512);
    char utf8[1536];
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, units, utf8, sizeof utf8, nullptr, nullptr);
    ASSERT_GT(length, 0);
    Write(std::string(utf8, size_t(length)));
  }
};

TEST_F(ConsoleCp932, CodePageSetsComeFromTheSystem) {
  const LeadTrailSets& sets = console.codePage;
  EXPECT_TRUE(sets.IsDoubleByte(0x82, 0xA0));
  EXPECT_TRUE(sets.IsDoubleByte(0xE0, 0x40));
  EXPECT_FALSE(sets.IsDoubleByte(0xA0, 0x82));  // half-width katakana is no lead byte
  EXPECT_FALSE(sets.IsDoubleByte(0x82, 0x20));
  for (int b = 0; b < 256; ++b) EXPECT_EQ(sets.lead[b], IsDBCSLeadByte(BYTE(b)) != FALSE) << b;
}

TEST_F(ConsoleCp932, SelectionCoversWholeCharacters) {
  ConsoleSettings settings = TestSettings();
  strcpy(settings.fontName, "VL Gothic");
  Create(settings);
  // a, b, then three characters of two cells (stored at 2-4, 5-7, 8-10, cells 2-3, 4-5, 6-7), then c, d.
  WriteCp932("ab\x82\xa0\x82\xa2\x82\xa4" "cd");
  // Press on the second cell of the first character (cell 3), drag to the first of the third (cell 6).
  Mouse(WM_LBUTTONDOWN, CellPoint(3, 0));
  ASSERT_EQ(console.text.selection.anchor.offset, 2);
  Mouse(WM_MOUSEMOVE, CellPoint(6, 0));
  EXPECT_EQ(console.text.selection.anchor.offset, 2);
  EXPECT_EQ(console.text.selection.end.offset, 10);
  // Releasing on a character's first cell used to leave the end there and copy part of it.
  Mouse(WM_LBUTTONUP, CellPoint(6, 0));
  ASSERT_EQ(console.text.selection.state, Selection::kFinished);
  EXPECT_EQ(console.Copy(), 1);
  EXPECT_EQ(ClipboardText(), "\x82\xa0\x82\xa2\x82\xa4");
  // Copied as Unicode text, which the system's own decoding of the code page gives back.
  wchar_t decoded[8] = {};
  MultiByteToWideChar(932, 0, "\x82\xa0\x82\xa2\x82\xa4", -1, decoded, 8);
  EXPECT_EQ(ClipboardUnicodeText(), decoded);
  EXPECT_EQ(ClipboardUnicodeText(), L"\x3042\x3044\x3046");
  // Dragging the other way snaps the same way.
  Mouse(WM_LBUTTONDOWN, CellPoint(6, 0));
  Mouse(WM_MOUSEMOVE, CellPoint(5, 0));
  EXPECT_EQ(console.text.selection.end.offset, 5);
  EXPECT_EQ(console.text.selection.anchor.offset, 10);
  Mouse(WM_LBUTTONUP, CellPoint(5, 0));
  EXPECT_EQ(console.Copy(), 1);
  EXPECT_EQ(ClipboardText(), "\x82\xa2\x82\xa4");
}

// The release may come on the other side of the anchor than the last move, with no move in
// between: the anchor, snapped to its character's first byte while it was the lower end, becomes
// the higher end and must take the character's last byte.
TEST_F(ConsoleCp932, ReleaseBehindTheAnchorKeepsTheAnchorCharacterWhole) {
  ConsoleSettings settings = TestSettings();
  strcpy(settings.fontName, "VL Gothic");
  Create(settings);
  WriteCp932("ab\x82\xa0\x82\xa2\x82\xa4" "cd");
  Mouse(WM_LBUTTONDOWN, CellPoint(3, 0));
  Mouse(WM_MOUSEMOVE, CellPoint(6, 0));
  ASSERT_EQ(console.text.selection.anchor.offset, 2);
  Mouse(WM_LBUTTONUP, CellPoint(0, 0));
  ASSERT_EQ(console.text.selection.state, Selection::kFinished);
  EXPECT_EQ(console.Copy(), 1);
  EXPECT_EQ(ClipboardText(), "ab\x82\xa0");
}

TEST_F(ConsoleCp932, BackspaceRemovesAWholeCharacter) {
  Create(TestSettings());
  WriteCp932("x\x82\xa0\b");
  EXPECT_EQ(console.text.used, 1u);
}

// An old line shown under a lowered wrap column used to keep a character across the column in
// a row one byte longer, while new text was split there: both now end the row before it.
TEST_F(ConsoleCp932, RowEndsBeforeACharacterAcrossTheWrapColumn) {
  ConsoleSettings settings = TestSettings();
  strcpy(settings.fontName, "VL Gothic");
  Create(settings);
  WriteCp932(std::string(39, 'a') + "\x82\xa0" "bbb\r\n");  // one stored line of 47 bytes
  ConsoleSettings narrow = settings;
  narrow.wrapColumn = 40;
  console.ApplySettings(narrow);
  WriteCp932(std::string(39, 'c') + "\x82\xa0" "d");  // new text wraps under the new column
  Paint();
  EXPECT_EQ(console.view.rows[0].length, 39);  // the character across column 40 starts the next row
  EXPECT_EQ(console.view.rows[1].length, 8);   // its three bytes, bbb and the line end
  EXPECT_EQ(console.view.rows[2].length, 39);
  EXPECT_EQ(console.view.rows[3].length, 4);
  EXPECT_EQ(console.text.LineStart(2) - console.text.LineStart(1), 39u);
  const Capture capture = Render();
  EXPECT_GT(capture.Count(0, 0, capture.width, capture.height, settings.normalText), 0);
}

}  // namespace
