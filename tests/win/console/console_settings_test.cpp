// ApplySettings on a live console: store resizing, ranges, font and caret, and settings values
// the settings sheet never produces.
#include <algorithm>

#include "console_fixture.h"

namespace {

class ConsoleSettingsApply : public ConsoleFixture {};

std::string Lines(int count) {
  std::string text;
  for (int n = 0; n < count; ++n) text += "line " + std::to_string(n) + "\r\n";
  return text;
}

TEST_F(ConsoleSettingsApply, HexModeChangesTheHorizontalRange) {
  ConsoleSettings settings = TestSettings();
  Create(settings);
  Write(std::string(60, '\x01'));  // one cell each, within the wrap column of 80
  EXPECT_EQ(console.hRange, 88);
  settings.hexMode = 1;
  console.ApplySettings(settings);
  EXPECT_EQ(console.hRange, 248);  // four cells each
  console.ScrollToColumn(200);
  EXPECT_EQ(console.hPos, 200);
  settings.hexMode = 0;
  console.ApplySettings(settings);
  EXPECT_EQ(console.hRange, 88);
  EXPECT_EQ(console.hPos, 48);  // kept within the smaller range
  EXPECT_EQ(HScrollPos(), 48);
}

TEST_F(ConsoleSettingsApply, DroppingLinesResetsSelectionAndScrollPosition) {
  ConsoleSettings settings = TestSettings();
  Create(settings, 40, 20);
  Write(Lines(200));
  console.SelectAll();
  ASSERT_EQ(console.vPos, 184);
  settings.maxLines = 50;
  console.ApplySettings(settings);
  EXPECT_EQ(console.text.selection.state, Selection::kNone);
  EXPECT_LE(console.text.lineCount, 49u);
  EXPECT_EQ(console.vRange, int(console.text.lineCount) + 8);
  EXPECT_EQ(console.vPos, std::max(0, console.vRange - 20));
  EXPECT_EQ(console.Copy(), 0);
  Paint();
}

TEST_F(ConsoleSettingsApply, GrowingTheStoreKeepsTextAndSelection) {
  ConsoleSettings settings = TestSettings();
  Create(settings);
  Write("keep\r\nme");
  console.SelectAll();
  settings.bufferSize = 1 << 20;
  settings.maxLines = 5000;
  console.ApplySettings(settings);
  EXPECT_EQ(console.text.capacity, 1u << 20);
  EXPECT_EQ(console.text.selection.state, Selection::kFinished);
  EXPECT_EQ(console.Copy(), 1);
  EXPECT_EQ(ClipboardText(), "keep\r\nme");
}

TEST_F(ConsoleSettingsApply, NewFontIsMeasuredAtOnceWithFocus) {
  ConsoleSettings settings = TestSettings();
  Create(settings);
  SetFocus(window);
  const int height = console.lineHeight;
  settings.fontSize = 2 * settings.fontSize;
  console.ApplySettings(settings);
  EXPECT_GT(console.lineHeight, height);
  Paint();
  POINT caret = {};
  EXPECT_TRUE(GetCaretPos(&caret));
  EXPECT_EQ(caret.x, 4);
  SetFocus(nullptr);
}

TEST_F(ConsoleSettingsApply, AnySettingsValueIsSafe) {
  ConsoleSettings settings = TestSettings();
  Create(settings);
  const int32_t values[] = {0, -1, 1, 2, 3, -2147483647 - 1, 7, 100000};
  for (int32_t value : values) {
    SCOPED_TRACE(value);
    ConsoleSettings odd = settings;
    odd.maxLines = value;
    odd.wrapColumn = value;
    odd.bufferSize = value;
    odd.tabSize = value;
    odd.fontSize = value % 200;
    odd.hexMode = value & 1;
    console.ApplySettings(odd);
    EXPECT_GE(console.text.maxLines, 2u);
    EXPECT_GT(console.text.capacity, 0u);
    Write("a\tb\tc\r\n" + std::string(300, '\t') + "x\r\n\b\b");
    console.SelectAll();
    Paint();
    Render();
    Mouse(WM_LBUTTONDOWN, CellPoint(3, 1));
    Mouse(WM_MOUSEMOVE, CellPoint(1, 0));
    Mouse(WM_LBUTTONUP, CellPoint(1, 0));
    console.Copy();
  }
}

TEST_F(ConsoleSettingsApply, RefusedSizesCreateNoConsole) {
  ConsoleSettings settings = TestSettings();
  settings.bufferSize = 0;
  EXPECT_EQ(CreateTestConsole(console, settings, 200, 200), nullptr);
  settings = TestSettings();
  settings.maxLines = -3;
  EXPECT_EQ(CreateTestConsole(console, settings, 200, 200), nullptr);
}

}  // namespace
