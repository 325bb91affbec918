// The console in a real window: pixels of Draw, caret positions, scrolling by Write, keys,
// wheel and scroll-bar requests, and the input method's composition window.

#include <algorithm>
#include "tests/support/stored_text.h"

#include "console_fixture.h"  // brings windows.h and imm.h

namespace {

class ConsoleWindow : public ConsoleFixture {
 protected:
  // Writes lines 0 .. count-1 in one Write (the current line is then empty).
  void WriteLines(int count) {
    std::string text;
    for (int n = 0; n < count; ++n) text += "line " + std::to_string(n) + "\r\n";
    Write(text);
  }
};

TEST_F(ConsoleWindow, EmptyConsolePaintsOnlyNormalBack) {
  const ConsoleSettings settings = TestSettings();
  Create(settings);
  const Capture capture = Render();
  ASSERT_GT(capture.width, 0);
  EXPECT_EQ(capture.Count(0, 0, capture.width, capture.height, settings.normalBack),
            capture.width * capture.height);
}

TEST_F(ConsoleWindow, MarginsAndEmptySpaceStayNormalBackAroundText) {
  const ConsoleSettings settings = TestSettings();
  Create(settings);
  Write("abcdef\r\nxyz");
  const Capture capture = Render();
  const int cw = console.charWidth, lh = console.lineHeight;
  EXPECT_EQ(capture.Count(0, 0, kConsoleLeftMargin, capture.height, settings.normalBack),
            kConsoleLeftMargin * capture.height);
  EXPECT_EQ(capture.Count(0, 0, capture.width, kConsoleTopMargin, settings.normalBack),
            kConsoleTopMargin * capture.width);
  // Right of "abcdef" and its two break blanks, and every row below the text.
  const int rowEnd = kConsoleLeftMargin + 8 * cw;
  EXPECT_EQ(capture.Count(rowEnd, 2, capture.width, 2 + lh, settings.normalBack), (capture.width - rowEnd) * lh);
  EXPECT_EQ(capture.Count(0, 2 + 2 * lh, capture.width, capture.height, settings.normalBack),
            capture.width * (capture.height - 2 - 2 * lh));
  // The text itself draws normalText glyphs.
  EXPECT_GT(capture.Count(kConsoleLeftMargin, 2, kConsoleLeftMargin + 6 * cw, 2 + lh, settings.normalText), 0);
}

TEST_F(ConsoleWindow, HexCodesDrawInHexColours) {
  ConsoleSettings settings = TestSettings();
  settings.hexMode = 1;
  Create(settings);
  Write("ab\r\n");
  const Capture capture = Render();
  const int cw = console.charWidth, lh = console.lineHeight;
  const int left = kConsoleLeftMargin + 2 * cw, right = left + 8 * cw;  // <0D><0A>
  const int area = (right - left) * lh;
  const int back = capture.Count(left, 2, right, 2 + lh, settings.hexBack);
  const int glyphs = capture.Count(left, 2, right, 2 + lh, settings.hexText);
  EXPECT_GT(back, area / 2);
  EXPECT_GT(glyphs, 0);
  EXPECT_EQ(capture.Count(left, 2, right, 2 + lh, settings.normalBack), 0);
  // "ab" stays in the normal pair.
  EXPECT_EQ(capture.Count(kConsoleLeftMargin, 2, left, 2 + lh, settings.hexBack), 0);
  EXPECT_GT(capture.Count(kConsoleLeftMargin, 2, left, 2 + lh, settings.normalBack), 0);
}

TEST_F(ConsoleWindow, SelectionDrawsInSelectColoursButNotPastTheRowEnd) {
  const ConsoleSettings settings = TestSettings();
  Create(settings);
  Write("abcd\r\nxy");
  console.SelectAll();
  const Capture capture = Render();
  const int cw = console.charWidth, lh = console.lineHeight;
  const int rowEnd = kConsoleLeftMargin + 6 * cw;  // abcd and the two break blanks
  const int area = (rowEnd - kConsoleLeftMargin) * lh;
  EXPECT_GT(capture.Count(kConsoleLeftMargin, 2, rowEnd, 2 + lh, settings.selectBack), area / 2);
  EXPECT_GT(capture.Count(kConsoleLeftMargin, 2, rowEnd, 2 + lh, settings.selectText), 0);
  EXPECT_EQ(capture.Count(kConsoleLeftMargin, 2, rowEnd, 2 + lh, settings.normalBack), 0);
  EXPECT_EQ(capture.Count(rowEnd, 2, capture.width, 2 + lh, settings.normalBack), (capture.width - rowEnd) * lh);
}

TEST_F(ConsoleWindow, CaretFollowsThePaint) {
  Create(TestSettings());
  SetFocus(window);
  ASSERT_EQ(console.hasFocus, 1);
  Paint();
  POINT caret = {};
  ASSERT_TRUE(GetCaretPos(&caret));
  EXPECT_EQ(caret.x, 4);
  EXPECT_EQ(caret.y, 2);
  Write("abc\r\nxy");
  Paint();
  ASSERT_TRUE(GetCaretPos(&caret));
  EXPECT_EQ(caret.x, 4 + 2 * console.charWidth);
  EXPECT_EQ(caret.y, 2 + console.lineHeight);
  SetFocus(nullptr);
  EXPECT_EQ(console.hasFocus, 0);
}

TEST_F(ConsoleWindow, CaretWithoutFocusWaitsForTheFocus) {
  Create(TestSettings());
  Write("abc");
  Paint();  // no focus: the caret is not moved, only computed
  EXPECT_EQ(console.view.caretX, 4 + 3 * console.charWidth);
  SetFocus(window);
  POINT caret = {};
  ASSERT_TRUE(GetCaretPos(&caret));
  EXPECT_EQ(caret.x, 4 + 3 * console.charWidth);
  SetFocus(nullptr);
}

TEST_F(ConsoleWindow, WriteBelowTheWindowScrollsToTheEnd) {
  Create(TestSettings(), 40, 20);
  WriteLines(100);
  EXPECT_EQ(console.vRange, 108);
  EXPECT_EQ(console.vPos, 84);
  EXPECT_EQ(VScrollPos(), 84);
  Write("x");  // still visible: no move
  EXPECT_EQ(console.vPos, 84);
}

TEST_F(ConsoleWindow, WriteWithoutAutoScrollKeepsThePosition) {
  ConsoleSettings settings = TestSettings();
  settings.autoScroll = 0;
  Create(settings, 40, 20);
  WriteLines(100);
  EXPECT_EQ(console.vPos, 0);
  EXPECT_EQ(console.vRange, 108);
}

TEST_F(ConsoleWindow, LongCurrentLineScrollsHorizontally) {
  Create(TestSettings(), 40, 20);
  Write(std::string(60, 'h'));
  EXPECT_EQ(console.hRange, 88);
  EXPECT_EQ(console.hPos, 60 - 40 + 4);
  EXPECT_EQ(HScrollPos(), 24);
  Write("\r\n");  // the new current line is empty, left of hPos
  EXPECT_EQ(console.hPos, 0);
}

// Automatic scrolling counted the current line in bytes: four-cell hex codes and tabs left its
// end off-screen to the right, and the caret hidden though the end was in view.
TEST_F(ConsoleWindow, AutoScrollCountsCellsOfHexCodesAndTabs) {
  const struct {
    int hexMode, tabSize;
    std::string line;
    int endCell;
  } cases[] = {
      {1, 8, std::string(15, '\x01'), 60},
      {0, 8, "a\tb\tc\td\te\tf", 41},
      {1, 4, "ab\t\x02" + std::string(10, 'x'), 20},  // in hex mode a tab is a code too
  };
  for (const auto& c : cases) {
    ConsoleSettings settings = TestSettings();
    settings.hexMode = c.hexMode;
    settings.tabSize = c.tabSize;
    console.hPos = console.vPos = 0;  // the same console object serves every case
    Create(settings, 40, 20);
    SetFocus(window);
    Write(c.line);
    const int expected = c.endCell > 38 ? c.endCell - 40 + 4 : 0;
    EXPECT_EQ(console.hPos, expected) << c.endCell;
    Paint();
    POINT caret = {};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, kConsoleLeftMargin + (c.endCell - expected) * console.charWidth) << c.endCell;
    SetFocus(nullptr);
    DestroyTestConsole(console);
  }
}

// A console written to before its first paint (a monitor started minimized) scrolled with no
// visible rows or columns: the position went past the end and the view stayed blank after the
// window was restored.
TEST_F(ConsoleWindow, WriteBeforeTheFirstPaintScrollsToTheEndOnceTheViewHasASize) {
  window = CreateTestConsole(console, TestSettings(), 0, 0);
  ASSERT_NE(window, nullptr);
  for (int n = 0; n < 100; ++n) {
    const std::string line = "line " + std::to_string(n) + "\r\n";
    console.Write(line.data(), int(line.size()), 0);
  }
  console.Write(std::string(60, 'h').data(), 60, 0);
  UpdateWindow(window);
  ASSERT_EQ(console.view.visibleRows, 0);
  console.MeasureFont();
  const int width = kConsoleLeftMargin + 40 * console.charWidth;
  const int height = kConsoleTopMargin + 20 * console.lineHeight;
  SetWindowPos(console.parentWindow, nullptr, 0, 0, width + 64, height + 64, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(window, nullptr, 0, 0, width + GetSystemMetrics(SM_CXVSCROLL),
               height + GetSystemMetrics(SM_CYHSCROLL), SWP_NOZORDER | SWP_NOACTIVATE);
  Paint();
  ASSERT_EQ(console.view.visibleRows, 20);
  ASSERT_EQ(console.view.visibleColumns, 40);
  EXPECT_EQ(console.vPos, 100 - 20 + 4);
  EXPECT_EQ(console.hPos, 60 - 40 + 4);
  const RowSpan& last = console.view.rows[size_t(console.view.lastRow)];
  EXPECT_EQ(console.view.lastRow, 100 - console.vPos);
  EXPECT_EQ(last.start, int32_t(console.text.LineStart(100)));
  EXPECT_EQ(last.length, 60);
}

TEST_F(ConsoleWindow, ArrowKeysScrollTwoStepsWithinRange) {
  Create(TestSettings(), 40, 20);
  WriteLines(100);
  SendMessageA(window, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(console.vPos, 82);
  SendMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(console.vPos, 88);  // 108 - 20
  console.ScrollToLine(1);
  SendMessageA(window, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(console.vPos, 0);
  Paint();
  SendMessageA(window, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(console.vPos, 0);
  EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));  // no move, no repaint
  SendMessageA(window, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(console.hPos, 2);
  EXPECT_EQ(HScrollPos(), 2);
  SendMessageA(window, WM_KEYDOWN, VK_LEFT, 0);
  SendMessageA(window, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(console.hPos, 0);
}

TEST_F(ConsoleWindow, WheelMovesTwoLinesPerNotch) {
  Create(TestSettings(), 40, 20);
  WriteLines(100);
  const auto wheel = [&](short delta) { SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(delta)), 0); };
  wheel(240);
  EXPECT_EQ(console.vPos, 80);
  wheel(-120);
  EXPECT_EQ(console.vPos, 82);
  wheel(60);
  EXPECT_EQ(console.vPos, 82);
  EXPECT_EQ(VScrollPos(), 82);
}

TEST_F(ConsoleWindow, ScrollBarRequestsMoveTheView) {
  Create(TestSettings(), 40, 20);
  WriteLines(100);
  console.ScrollToLine(40);
  struct Case {
    int request, expected;
  } cases[] = {
      {SB_LINEUP, 38}, {SB_LINEDOWN, 40}, {SB_PAGEUP, 20}, {SB_PAGEDOWN, 40}, {SB_THUMBPOSITION, 40},
      {SB_ENDSCROLL, 40}, {SB_TOP, 0}, {SB_BOTTOM, 88}, {SB_PAGEDOWN, 88}, {SB_TOP, 0}, {SB_LINEUP, 0},
  };
  for (const Case& c : cases) {
    SendMessageA(window, WM_VSCROLL, MAKEWPARAM(c.request, 0), 0);
    EXPECT_EQ(console.vPos, c.expected) << "request " << c.request;
    EXPECT_EQ(VScrollPos(), c.expected) << "request " << c.request;
  }
  SendMessageA(window, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
  EXPECT_EQ(console.hPos, 2);
  SendMessageA(window, WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), 0);
  EXPECT_EQ(console.hPos, 42);
  SendMessageA(window, WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
  EXPECT_EQ(console.hPos, 48);  // 88 - 40
  SendMessageA(window, WM_HSCROLL, MAKEWPARAM(SB_PAGELEFT, 0), 0);
  EXPECT_EQ(console.hPos, 8);
  SendMessageA(window, WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0), 0);
  EXPECT_EQ(console.hPos, 0);
}

TEST_F(ConsoleWindow, ThumbTrackGoesToTheTrackPosition) {
  Create(TestSettings(), 40, 20);
  WriteLines(100);
  console.ScrollToLine(30);
  UpdateWindow(window);
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(window, SB_VERT, &info));
  SendMessageA(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
  EXPECT_EQ(console.vPos, info.nTrackPos);
}

TEST_F(ConsoleWindow, EverythingFitsSoNothingScrolls) {
  Create(TestSettings(), 40, 20);
  WriteLines(5);  // vRange 13 <= 20 rows
  for (int request : {SB_LINEDOWN, SB_PAGEDOWN, SB_BOTTOM}) {
    SendMessageA(window, WM_VSCROLL, MAKEWPARAM(request, 0), 0);
    EXPECT_EQ(console.vPos, 0);
  }
  SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(-240))), 0);
  EXPECT_EQ(console.vPos, 0);
}

TEST_F(ConsoleWindow, HexModeWidensTheHorizontalRange) {
  ConsoleSettings settings = TestSettings();
  settings.hexMode = 1;
  Create(settings);
  EXPECT_EQ(console.hRange, 88);  // nothing wider than the wrap column of 80 yet
  Write(std::string(60, '\x01'));  // 60 hex codes of four cells
  EXPECT_EQ(console.hRange, 248);
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(window, SB_HORZ, &info));
  EXPECT_EQ(info.nMax, 247);
  EXPECT_EQ(int(info.nPage), 40);
}

// Tabs widen a line beyond its bytes: the range reaches the line's last cell, and so do the scroll
// to the end and the scroll bar's far end.
TEST_F(ConsoleWindow, HorizontalRangeReachesTheLastCellOfATabLine) {
  ConsoleSettings settings = TestSettings();
  settings.tabSize = 8;
  Create(settings, 40, 20);
  Write(std::string(30, '\t') + "x");  // 30 stops of 8, then x in cell 240
  EXPECT_EQ(console.hRange, 249);
  Paint();
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(window, SB_HORZ, &info));
  EXPECT_EQ(info.nMax, 248);
  EXPECT_EQ(int(info.nPage), 40);
  EXPECT_EQ(console.hPos, 205);  // the end stands 4 cells from the right edge: 241 - 40 + 4
  EXPECT_EQ(HScrollPos(), 205);
  SendMessageA(window, WM_HSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
  EXPECT_EQ(console.hPos, 209);  // 249 - 40: cells 209 .. 248 show, 240 among them
  Write("\r\n");  // the break shows as two blanks after the x: 243 cells
  EXPECT_EQ(console.hRange, 251);
  Write("y");  // a narrower line after it: the range stays while the tab line is stored
  EXPECT_EQ(console.hRange, 251);
}

TEST_F(ConsoleWindow, PaintKeepsScrollPagesAtTheWindowSize) {
  Create(TestSettings(), 40, 20);
  WriteLines(100);
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(window, SB_VERT, &info));
  EXPECT_EQ(int(info.nPage), 20);
  EXPECT_EQ(info.nMax, 107);
  RECT outer = {};
  GetWindowRect(window, &outer);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top - 10 * console.lineHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateWindow(window);
  EXPECT_EQ(console.view.visibleRows, 10);
  ASSERT_TRUE(GetScrollInfo(window, SB_VERT, &info));
  EXPECT_EQ(int(info.nPage), 10);
  ASSERT_TRUE(GetScrollInfo(window, SB_HORZ, &info));
  EXPECT_EQ(int(info.nPage), 40);
}

TEST_F(ConsoleWindow, CompositionWindowGoesToTheCaret) {
  Create(TestSettings());
  Write("abc");
  Paint();
  SendMessageA(window, WM_IME_STARTCOMPOSITION, 0, 0);
  HIMC context = ImmGetContext(window);
  if (!context) GTEST_SKIP() << "no input context under this input method";
  COMPOSITIONFORM form = {};
  EXPECT_TRUE(ImmGetCompositionWindow(context, &form));
  EXPECT_EQ(form.dwStyle, DWORD(CFS_POINT));
  EXPECT_EQ(form.ptCurrentPos.x, 4 + 3 * console.charWidth);
  EXPECT_EQ(form.ptCurrentPos.y, 2);
  LOGFONTA font = {};
  EXPECT_TRUE(ImmGetCompositionFontA(context, &font));
  EXPECT_EQ(font.lfHeight, console.settings.fontSize);
  ImmReleaseContext(window, context);
}

// The console remembers what it last told its scroll bars, to skip repeating it. A console given
// a new window must still set up the new window's bars, even when its values did not change.
TEST(ConsoleNewWindow, ScrollBarsOfASecondWindowAreSetUp) {
  XConsole console;
  const ConsoleSettings settings = TestSettings();
  ASSERT_NE(CreateTestConsole(console, settings, 400, 400), nullptr);
  DestroyTestConsole(console);
  HWND window = CreateTestConsole(console, settings, 400, 400);
  ASSERT_NE(window, nullptr);
  UpdateWindow(window);
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(window, SB_VERT, &info));
  EXPECT_EQ(info.nMax, console.vRange - 1);
  EXPECT_EQ(int(info.nPage), std::min(console.view.visibleRows, console.vRange));  // a page never exceeds the range
  ASSERT_TRUE(GetScrollInfo(window, SB_HORZ, &info));
  EXPECT_EQ(info.nMax, console.hRange - 1);
  EXPECT_EQ(int(info.nPage), std::min(console.view.visibleColumns, console.hRange));
  DestroyTestConsole(console);
}

TEST_F(ConsoleWindow, WriteInvalidatesWithoutErasing) {
  Create(TestSettings());
  ASSERT_FALSE(GetUpdateRect(window, nullptr, FALSE));
  console.Write(nullptr, 0, 0);  // nothing stored, still repainted
  RECT update = {};
  EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
  EXPECT_EQ(console.text.used, 0u);
}

}  // namespace
