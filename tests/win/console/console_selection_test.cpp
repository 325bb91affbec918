// Mouse selection, Copy to the real clipboard, Paste and typing in a real console window.
#include <new>

#include "../../support/clipboard_holder.h"
#include "console_fixture.h"
#include "tests/support/stored_text.h"

namespace {

class ConsoleSelection : public ConsoleFixture {
 protected:
  void Drag(POINT from, POINT to) {
    Mouse(WM_LBUTTONDOWN, from);
    Mouse(WM_MOUSEMOVE, to);
    Mouse(WM_LBUTTONUP, to);
  }
};

TEST_F(ConsoleSelection, DragBackwardsSelectsBothEndsAndCopies) {
  Create(TestSettings());
  Write("0123456789abcdef");
  Mouse(WM_LBUTTONDOWN, CellPoint(10, 0));
  EXPECT_EQ(console.text.selection.state, Selection::kButtonDown);
  EXPECT_EQ(GetCapture(), window);
  Mouse(WM_MOUSEMOVE, CellPoint(5, 0));
  EXPECT_EQ(console.text.selection.state, Selection::kDragging);
  Mouse(WM_LBUTTONUP, CellPoint(5, 0));
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_EQ(console.text.selection.state, Selection::kFinished);
  EXPECT_EQ(console.text.selection.anchor.offset, 10);
  EXPECT_EQ(console.text.selection.end.offset, 5);
  ASSERT_TRUE(SetClipboardText("old"));
  EXPECT_EQ(console.Copy(), 1);
  EXPECT_EQ(ClipboardText(), "56789a");
  EXPECT_EQ(console.text.selection.state, Selection::kNone);
  EXPECT_EQ(console.Copy(), 0);  // nothing left to copy
}

// Copy dropped the selection and reported success when another program held the clipboard open:
// nothing was copied, and the user could not tell.
TEST_F(ConsoleSelection, CopyWhileAnotherProgramHoldsTheClipboardFailsAndKeepsTheSelection) {
  Create(TestSettings());
  Write("0123456789");
  ASSERT_TRUE(SetClipboardText("old"));
  console.SelectAll();
  {
    ClipboardHolder holder;
    ASSERT_TRUE(holder.holding());
    EXPECT_EQ(console.Copy(), -1);
    EXPECT_EQ(console.text.selection.state, Selection::kFinished);
    SendMessageA(window, WM_CHAR, 3, 0);  // Ctrl+C the same way
    EXPECT_EQ(console.text.selection.state, Selection::kFinished);
  }
  EXPECT_EQ(ClipboardText(), "old");
  EXPECT_EQ(console.Copy(), 1);  // the kept selection copies once the clipboard is free
  EXPECT_EQ(ClipboardText(), "0123456789");
  EXPECT_EQ(console.text.selection.state, Selection::kNone);
}

TEST_F(ConsoleSelection, ClickWithoutMoveSelectsNothing) {
  Create(TestSettings());
  Write("0123456789");
  Mouse(WM_LBUTTONDOWN, CellPoint(3, 0));
  Mouse(WM_LBUTTONUP, CellPoint(3, 0));
  EXPECT_EQ(console.text.selection.state, Selection::kNone);
  EXPECT_EQ(console.Copy(), 0);
}

TEST_F(ConsoleSelection, PressOutsideTheTextStartsNothing) {
  Create(TestSettings());
  Mouse(WM_LBUTTONDOWN, CellPoint(3, 0));  // empty console
  EXPECT_EQ(console.text.selection.state, Selection::kNone);
  Mouse(WM_MOUSEMOVE, CellPoint(5, 0));
  EXPECT_EQ(console.text.selection.state, Selection::kNone);
  Mouse(WM_LBUTTONUP, CellPoint(5, 0));
}

TEST_F(ConsoleSelection, ReleaseBeyondTheTextEndsAtTheLastByte) {
  Create(TestSettings());
  Write("abc\r\nxyz");
  Mouse(WM_LBUTTONDOWN, CellPoint(1, 0));
  Mouse(WM_MOUSEMOVE, CellPoint(2, 1));
  Mouse(WM_LBUTTONUP, CellPoint(30, 10));
  ASSERT_EQ(console.text.selection.state, Selection::kFinished);
  EXPECT_EQ(console.text.selection.end.offset, 7);
  EXPECT_EQ(console.Copy(), 1);
  EXPECT_EQ(ClipboardText(), "bc\r\nxyz");
  EXPECT_EQ(ClipboardUnicodeText(), L"bc\r\nxyz") << "copied as Unicode text";
}

TEST_F(ConsoleSelection, MovesWithinTheButtonDownZoneRestartTheSelection) {
  Create(TestSettings());
  Write("abc\r\nxyz");
  Mouse(WM_LBUTTONDOWN, CellPoint(20, 0));  // right of row 0's text
  EXPECT_EQ(console.downPastRow, 0);
  EXPECT_EQ(console.text.selection.state, Selection::kButtonDown);
  Mouse(WM_MOUSEMOVE, CellPoint(25, 0));
  EXPECT_EQ(console.text.selection.state, Selection::kButtonDown);
  EXPECT_EQ(console.text.selection.anchor.offset, 4);  // the row's last byte
  Mouse(WM_MOUSEMOVE, CellPoint(1, 0));  // onto text: extends
  EXPECT_EQ(console.text.selection.state, Selection::kDragging);
  EXPECT_EQ(console.text.selection.end.offset, 1);
  Mouse(WM_MOUSEMOVE, CellPoint(25, 0));  // back into the zone: starts over
  EXPECT_EQ(console.text.selection.state, Selection::kButtonDown);
  Mouse(WM_MOUSEMOVE, CellPoint(20, 1));  // another row: extends
  EXPECT_EQ(console.text.selection.state, Selection::kDragging);
  EXPECT_EQ(console.text.selection.end.offset, 7);
  Mouse(WM_LBUTTONUP, CellPoint(20, 1));
  EXPECT_EQ(console.text.selection.state, Selection::kFinished);
}

TEST_F(ConsoleSelection, DraggingBelowTheWindowScrollsOneLinePerMove) {
  Create(TestSettings(), 40, 20);
  std::string text;
  for (int n = 0; n < 100; ++n) text += "line " + std::to_string(n) + "\r\n";
  Write(text);
  console.ScrollToLine(0);
  Paint();
  Mouse(WM_LBUTTONDOWN, CellPoint(2, 5));
  RECT client = {};
  GetClientRect(window, &client);
  Mouse(WM_MOUSEMOVE, 20, client.bottom + 15);
  EXPECT_EQ(console.vPos, 1);
  EXPECT_EQ(console.text.selection.state, Selection::kDragging);
  Paint();
  Mouse(WM_MOUSEMOVE, 20, client.bottom + 15);
  EXPECT_EQ(console.vPos, 2);
  Paint();
  Mouse(WM_MOUSEMOVE, 20, client.bottom + 15);
  EXPECT_EQ(console.vPos, 3);
  Paint();
  // Each move reaches the row the move before brought in: the end is now in line 21.
  const int end = console.text.selection.end.offset;
  EXPECT_GE(end, int(console.text.LineStart(21)));
  EXPECT_LT(end, int(console.text.LineStart(22)));
  Mouse(WM_MOUSEMOVE, 20, -5);  // above: one line up
  EXPECT_EQ(console.vPos, 2);
  Mouse(WM_LBUTTONUP, 20, -5);
}

TEST_F(ConsoleSelection, NewTextDuringADragEndsTheSelection) {
  Create(TestSettings());
  Write("0123456789");
  Mouse(WM_LBUTTONDOWN, CellPoint(1, 0));
  Mouse(WM_MOUSEMOVE, CellPoint(4, 0));
  ASSERT_EQ(console.text.selection.state, Selection::kDragging);
  Write("more");
  EXPECT_EQ(console.text.selection.state, Selection::kNone);
  Mouse(WM_MOUSEMOVE, CellPoint(6, 0));
  EXPECT_EQ(console.text.selection.state, Selection::kNone);
  Mouse(WM_LBUTTONUP, CellPoint(6, 0));
  EXPECT_EQ(console.text.selection.state, Selection::kNone);
}

TEST_F(ConsoleSelection, NulBytesAreCopiedAsSpaces) {
  Create(TestSettings());
  Write(std::string("a\0b\0\0c", 6));
  console.SelectAll();
  EXPECT_EQ(console.Copy(), 1);
  EXPECT_EQ(ClipboardText(), "a b  c");
}

TEST_F(ConsoleSelection, SelectAllOnEmptyConsoleChangesNothing) {
  Create(TestSettings());
  console.SelectAll();
  EXPECT_EQ(console.text.selection.state, Selection::kNone);
  EXPECT_EQ(console.Copy(), 0);
}

void PumpMessages(int milliseconds) {
  const DWORD end = GetTickCount() + DWORD(milliseconds);
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(10);
  } while (GetTickCount() < end);
}

// Holds Shift down (for GetAsyncKeyState) while alive. Under Wine the X server's own key state
// overrides injected keys until a newly shown window has settled, so pressing is retried.
struct ShiftHeld {
  ShiftHeld() {
    for (int attempt = 0; attempt < 20 && !(GetAsyncKeyState(VK_SHIFT) & 0x8000); ++attempt) {
      Send(0);
      PumpMessages(50);
    }
  }
  ~ShiftHeld() {
    Send(KEYEVENTF_KEYUP);
    PumpMessages(20);
  }
  static void Send(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_SHIFT;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
  }
};

TEST_F(ConsoleSelection, CtrlCCopiesUnlessShiftIsHeld) {
  Create(TestSettings());
  SetForegroundWindow(console.parentWindow);
  SetFocus(window);
  PumpMessages(300);
  Write("copy me");
  console.SelectAll();
  ASSERT_TRUE(SetClipboardText("before"));
  {
    ShiftHeld shift;
    ASSERT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000) << "Shift could not be pressed";
    SendMessageA(window, WM_CHAR, 3, 0);
    EXPECT_EQ(console.text.selection.state, Selection::kFinished);
    EXPECT_EQ(ClipboardText(), "before");
  }
  ASSERT_FALSE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
  SendMessageA(window, WM_CHAR, 3, 0);
  EXPECT_EQ(console.text.selection.state, Selection::kNone);
  EXPECT_EQ(ClipboardText(), "copy me");
}

TEST_F(ConsoleSelection, ReadOnlyConsoleRefusesTypingAndPaste) {
  Create(TestSettings());
  ASSERT_TRUE(SetClipboardText("pasted"));
  SendMessageA(window, WM_CHAR, 22, 0);
  SendMessageA(window, WM_CHAR, 'x', 0);
  SendMessageA(window, WM_CHAR, 13, 0);
  EXPECT_EQ(console.text.used, 0u);
  EXPECT_EQ(console.Paste(), 0);
  EXPECT_EQ(console.text.used, 0u);
}

std::string Stored(const XConsole& console) {
  return StoredText(console.text);
}

TEST_F(ConsoleSelection, WritableConsoleTakesTypingAndPastedBreaks) {
  ConsoleSettings settings = TestSettings();
  settings.readOnly = 0;
  settings.newlineMode = 1;
  Create(settings);
  SendMessageA(window, WM_CHAR, 'x', 0);
  SendMessageA(window, WM_CHAR, 13, 0);
  EXPECT_EQ(Stored(console), "x\n");
  ASSERT_TRUE(SetClipboardText("a\nb\r\nc\n\rd\r\re"));
  console.text.selection.state = Selection::kFinished;
  SendMessageA(window, WM_CHAR, 22, 0);
  EXPECT_EQ(Stored(console), "x\na\nb\nc\nd\n\ne");
  EXPECT_EQ(console.text.selection.state, Selection::kNone);
  console.settings.newlineMode = 2;
  ASSERT_TRUE(SetClipboardText("p\nq"));
  EXPECT_EQ(console.Paste(), 1);
  EXPECT_EQ(Stored(console), "x\na\nb\nc\nd\n\nep\r\nq");
  ASSERT_TRUE(SetClipboardText(""));
  EXPECT_EQ(console.Paste(), 1);
  EXPECT_EQ(Stored(console), "x\na\nb\nc\nd\n\nep\r\nq");
}

// A paste that finds no text on the clipboard changes nothing: a finished selection stays
// highlighted and ready for Copy.
TEST_F(ConsoleSelection, PasteWithoutClipboardTextKeepsTheSelection) {
  ConsoleSettings settings = TestSettings();
  settings.readOnly = 0;
  Create(settings);
  Write("keep this");
  console.SelectAll();
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(console.Paste(), 1);
  EXPECT_EQ(console.text.selection.state, Selection::kFinished);
  EXPECT_EQ(Stored(console), "keep this");
  EXPECT_EQ(console.Copy(), 1);
  EXPECT_EQ(ClipboardText(), "keep this");
}

// A subclass that refuses pasted text.
class RefusingConsole : public XConsole {
 public:
  int AcceptPaste(const char*, int length) override {
    offered = length;
    return 0;
  }
  int offered = 0;
};

TEST(ConsolePaste, AcceptPasteCanRefuse) {
  RefusingConsole console;
  ConsoleSettings settings = TestSettings();
  settings.readOnly = 0;
  ASSERT_NE(CreateTestConsole(console, settings, 300, 200), nullptr);
  ASSERT_TRUE(SetClipboardText("a\nb"));
  EXPECT_EQ(console.Paste(), 1);
  EXPECT_EQ(console.offered, 4);  // the break became CR LF
  EXPECT_EQ(console.text.used, 0u);
  DestroyTestConsole(console);
}

// A subclass whose typing handler throws, as an allocation failure inside an operation would.
class ThrowingConsole : public XConsole {
 public:
  void OnChar(UINT code) override {
    ++calls;
    if (code == 'x') throw std::bad_alloc();
    XConsole::OnChar(code);
  }
  int calls = 0;
};

TEST(ConsoleHost, AnExceptionInAnOperationStopsAtTheWindowProcedure) {
  ThrowingConsole console;
  ConsoleSettings settings = TestSettings();
  settings.readOnly = 0;
  HWND window = CreateTestConsole(console, settings, 300, 200);
  ASSERT_NE(window, nullptr);
  SendMessageA(window, WM_CHAR, 'x', 0);
  SendMessageA(window, WM_CHAR, 'y', 0);
  EXPECT_EQ(console.calls, 2);
  ASSERT_EQ(console.text.used, 1u);
  EXPECT_EQ(console.text.At(0), 'y');
  DestroyTestConsole(console);
}

}  // namespace
