// Find as a user meets it: Ctrl+F opens the system's find dialog in vigilo.exe, Find Next and F3
// and Shift+F3 select hits that Copy then puts on the clipboard, and a text that is not there is
// told in a message box. Driven from this process through keys, the dialog's controls and the
// clipboard.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "support/clipboard.h"
#include "support/dialog_driver.h"
#include "support/keyboard.h"
#include "support/monitor_fixture.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"
#include "support/screenshot.h"

namespace {

constexpr int kMessageBoxText = 0xFFFF;

std::string Ansi(const wchar_t* text) {
  char out[256] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return out;
}

std::string Ini(int language, const char* extra = "") {
  return "[system]\r\nlanguage=" + std::to_string(language) + "\r\n" + extra;
}

bool IsFindDialog(HWND dialog) { return GetDlgItem(dialog, edt1) != nullptr && GetDlgItem(dialog, rad2) != nullptr; }

bool IsMessageBox(HWND dialog) { return GetDlgItem(dialog, kMessageBoxText) != nullptr && !IsFindDialog(dialog); }

// vigilo.exe in a scratch directory of its own with its window shown.
class FindE2eTest : public MonitorFixture {
 protected:

  // Sends the messages and waits until the console shows the last one.
  void Receive(const std::vector<std::string>& messages, const std::string& shownEnding) {
    for (const std::string& message : messages) ASSERT_TRUE(SendToMonitor(message));
    ASSERT_TRUE(monitor().WaitForConsoleEnding(shownEnding));
  }

  // Ctrl+F as the user types it; the find dialog that opens.
  HWND OpenFindDialog() {
    EXPECT_TRUE(PressKeys(monitor().window(), {VK_CONTROL, 'F'})) << "the monitor did not take the keys";
    return monitor().WaitForDialog(IsFindDialog);
  }

  // Fills the dialog and presses Find Next.
  static void FindNext(HWND dialog, const std::string& text, bool matchCase, bool down) {
    SetDlgItemTextA(dialog, edt1, text.c_str());
    SendDlgItemMessageA(dialog, chx2, BM_SETCHECK, matchCase ? BST_CHECKED : BST_UNCHECKED, 0);
    SendDlgItemMessageA(dialog, rad1, BM_SETCHECK, down ? BST_UNCHECKED : BST_CHECKED, 0);
    SendDlgItemMessageA(dialog, rad2, BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  }

  // What the last search selected: Copy enabled, and Copy's text (Copy ends the selection).
  std::string CopiedHit() {
    if (!WaitUntil([&] { return monitor().ButtonEnabled(ID_EDIT_COPY); }, 5000)) return "(no selection)";
    ClearClipboard();
    monitor().Command(ID_EDIT_COPY);
    return ClipboardText();
  }

  // Presses the keys for the monitor and waits for the hit they select.
  std::string KeyHit(std::initializer_list<WORD> keys) {
    if (!PressKeys(monitor().window(), keys)) return "(keys refused)";
    return CopiedHit();
  }

  // Answers the "not found" message box; its text.
  std::string AnswerNotFound() {
    const HWND box = monitor().WaitForDialog(IsMessageBox);
    if (!box) return "(no message box)";
    const std::string text = ControlText(box, kMessageBoxText);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    return text;
  }

};

// Hits differ only in case, so the clipboard tells which one was selected.
const std::vector<std::string> kCaseVariants = {"one: beta\n", "two: BETA\n", "three: Beta\n", "four: bEta\n"};

TEST_F(FindE2eTest, CtrlFFindsThroughTheDialogAndF3AndShiftF3GoOnDownAndUp) {
  Start(Ini(0));
  Receive(kCaseVariants, "four: bEta\r\n");
  const HWND dialog = OpenFindDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, chx1))) << "Match whole word is hidden";
  FindNext(dialog, "beta", false, true);
  EXPECT_EQ(CopiedHit(), "beta") << "the first from the top";
  EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays open";

  EXPECT_EQ(KeyHit({VK_F3}), "BETA");
  EXPECT_EQ(KeyHit({VK_F3}), "Beta");
  EXPECT_EQ(KeyHit({VK_SHIFT, VK_F3}), "BETA") << "Shift+F3 searches up from the last hit";
  EXPECT_EQ(KeyHit({VK_SHIFT, VK_F3}), "beta");
  EXPECT_TRUE(PressKeys(monitor().window(), {VK_SHIFT, VK_F3}));
  EXPECT_EQ(AnswerNotFound(), "Cannot find \"beta\".");
  EXPECT_EQ(KeyHit({VK_F3}), "BETA") << "after nothing was found the search goes on from the last hit";

  // The dialog's own direction and Match case.
  ASSERT_TRUE(IsWindow(dialog));
  FindNext(dialog, "Beta", true, true);
  EXPECT_EQ(CopiedHit(), "Beta");
  FindNext(dialog, "beta", true, false);
  EXPECT_EQ(CopiedHit(), "beta") << "up, with case";
  FindNext(dialog, "bEta", true, false);
  EXPECT_EQ(AnswerNotFound(), "Cannot find \"bEta\".") << "nothing above the first line";
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));

  // F3 after the dialog closed keeps its text and Match case.
  EXPECT_EQ(KeyHit({VK_F3}), "bEta");
  // And it opens again.
  const HWND again = OpenFindDialog();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(ControlText(again, edt1), "bEta");
  PostMessageA(again, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(FindE2eTest, NotFoundKeepsTheSelectionAndTheMenuCommandsWorkWithoutKeys) {
  Start(Ini(0));
  Receive({"a needle in the log\n"}, "log\r\n");
  monitor().PostCommand(ID_EDIT_FIND);
  const HWND dialog = monitor().WaitForDialog(IsFindDialog);
  ASSERT_NE(dialog, nullptr);
  FindNext(dialog, "needle", false, true);
  ASSERT_TRUE(WaitUntil([&] { return monitor().ButtonEnabled(ID_EDIT_COPY); }, 5000));
  EXPECT_TRUE(SaveScreenshot({dialog, monitor().window()}, "find-dialog-en"));
  FindNext(dialog, "haystack", false, true);
  EXPECT_EQ(AnswerNotFound(), "Cannot find \"haystack\".");
  EXPECT_TRUE(monitor().ButtonEnabled(ID_EDIT_COPY)) << "the last hit stays selected";
  EXPECT_EQ(CopiedHit(), "needle");

  monitor().PostCommand(ID_EDIT_FIND_NEXT);  // the menu's Find Next: "haystack" again
  EXPECT_EQ(AnswerNotFound(), "Cannot find \"haystack\".");
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// New text removes the selection (as it always did) while the dialog stays; the next search goes
// on after the last hit rather than from the top.
TEST_F(FindE2eTest, NewTextWhileTheDialogIsOpenLeavesNoStaleSelection) {
  Start(Ini(0));
  Receive(kCaseVariants, "four: bEta\r\n");
  monitor().PostCommand(ID_EDIT_FIND);
  const HWND dialog = monitor().WaitForDialog(IsFindDialog);
  ASSERT_NE(dialog, nullptr);
  FindNext(dialog, "beta", false, true);
  ASSERT_TRUE(WaitUntil([&] { return monitor().ButtonEnabled(ID_EDIT_COPY); }, 5000));
  FindNext(dialog, "beta", false, true);  // the second: BETA, left selected
  Receive({"five: BeTa\n"}, "five: BeTa\r\n");
  EXPECT_FALSE(monitor().ButtonEnabled(ID_EDIT_COPY)) << "new text ends the selection";
  EXPECT_TRUE(IsWindow(dialog));
  FindNext(dialog, "beta", false, true);
  EXPECT_EQ(CopiedHit(), "Beta") << "the third, after the last hit";
  // A flood of messages while the dialog is open; the dialog and the monitor carry on.
  for (int i = 0; i < 300; ++i) ASSERT_TRUE(SendToMonitor("flood " + std::to_string(i) + " beta\n"));
  ASSERT_TRUE(monitor().WaitForConsoleEnding("flood 299 beta\r\n", 20000));
  FindNext(dialog, "flood 299 BETA", false, true);
  EXPECT_EQ(CopiedHit(), "flood 299 beta");
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// Run by ctest a second time under the Japanese locale (code page 932).
TEST_F(FindE2eTest, JapaneseTextIsFoundByWholeCharacters) {
  ASSERT_EQ(GetACP(), 932u) << "needs code page 932 (run as monitor_find_e2e_test_ja)";
  Start(Ini(1, "[console]\r\ntext font name=VL Gothic\r\n"));
  // Hon (0x96 0x7B) ends in the value of '{': "{x" must not be found inside "hon X".
  const std::string hon = "\x96\x7B";
  Receive({"\x93\xFA" + hon + "\x8C\xEA " + hon + "X\n", "ascii {x\n"}, "ascii {x\r\n");
  const HWND dialog = OpenFindDialog();
  ASSERT_NE(dialog, nullptr);
  FindNext(dialog, "{x", false, true);
  ASSERT_TRUE(WaitUntil([&] { return monitor().ButtonEnabled(ID_EDIT_COPY); }, 5000));
  EXPECT_TRUE(SaveScreenshot({dialog, monitor().window()}, "find-dialog-ja"));
  EXPECT_EQ(CopiedHit(), "{x") << "never from the trail byte of hon";
  FindNext(dialog, hon, false, false);
  EXPECT_EQ(CopiedHit(), hon) << "up from there: the hon before X";
  EXPECT_EQ(KeyHit({VK_SHIFT, VK_F3}), hon) << "the hon of nihongo";
  EXPECT_TRUE(PressKeys(monitor().window(), {VK_SHIFT, VK_F3}));
  EXPECT_EQ(AnswerNotFound(), Ansi(L"「本」が見つかりません。"));
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace
