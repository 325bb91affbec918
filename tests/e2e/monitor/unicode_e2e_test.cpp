// The line no ANSI code page holds, from client processes through tellitwf and tellitu8f into
// vigilo.exe: the console keeps every character (All Copy's Unicode text is the line exactly), its
// UTF-8 log holds every character, as the system converts the line; an ANSI log holds the ANSI
// conversion, as a reader of the text up to the NUL sees it. Runs on code pages 1252 and 932, and
// keeps a screenshot of the console in each interface language.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <string>

#include "support/clipboard.h"
#include "support/keyboard.h"
#include "support/monitor_fixture.h"
#include "support/screenshot.h"
#include "support/unicode_line.h"

namespace {

class UnicodeEndToEnd : public MonitorFixture {
 protected:
  // The client program (tests/e2e/monitor/client_main.cpp) sends the line twice; its exit code.
  static DWORD SendTheLine() {
    ChildProcess client("\"" + BinDirectory() + "\\monitor_e2e_client.exe\" unicode", "");
    return client.Wait(60000);
  }
};

const std::string kBanner = "<< open TELLIT monitor >>\r\n";

// The line as the log shows it: its final line feed made CR LF.
std::string Logged(const std::string& line) { return line.substr(0, line.size() - 1) + "\r\n"; }

TEST_F(UnicodeEndToEnd, TheUtf8LogHoldsEveryCharacterAndTheAnsiLogTheConversion) {
  for (const bool utf8 : {true, false}) {
    SCOPED_TRACE(utf8 ? "UTF-8 log" : "ANSI log");
    const bool japanese = !utf8;  // one interface language for each
    Start("[system]\r\nlanguage=" + std::string(japanese ? "1" : "0") + "\r\n");
    const std::string log = dir_.File(utf8 ? "utf8.log" : "ansi.log");
    StartLog(log, false, -1, -1, utf8);
    ASSERT_EQ(SendTheLine(), 0u);
    const std::string line = Logged(InCodePage(utf8 ? CP_UTF8 : CP_ACP, kUnicodeLine));
    const std::string expected = kBanner + line + line;
    ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(log).size() >= expected.size(); }, 20000));
    monitor().Command(ID_FILE_STOP_LOG);
    EXPECT_EQ(ReadWholeFile(log), expected);
    // The console holds what was sent, whatever the log's encoding.
    ClearClipboard();
    monitor().Command(ID_EDIT_ALL_COPY);
    const std::wstring wideLine = FromCodePage(CP_UTF8, Logged(InCodePage(CP_UTF8, kUnicodeLine)));
    EXPECT_EQ(ClipboardUnicode(), FromCodePage(CP_ACP, kBanner) + wideLine + wideLine);
    const std::string shot = std::string("unicode-console-") + (japanese ? "ja" : "en") + "-cp" + std::to_string(GetACP());
    EXPECT_TRUE(SaveScreenshot(monitor().window(), shot));
    EXPECT_EQ(monitor().Exit(), 0u);
    monitor_.reset();
  }
}

// The find dialog takes any character: a word the ANSI code page lacks is found, its case folded
// as the system folds it, and the hit is what Copy gives. The lines are searched as drawn: the
// sender before a line is found with its text.
TEST_F(UnicodeEndToEnd, FindTakesCharactersTheCodePageLacksAndFoldsTheirCase) {
  Start("[system]\r\nlanguage=0\r\nshow senders=1\r\n");
  ASSERT_EQ(SendTheLine(), 0u);
  ASSERT_TRUE(monitor().WaitForConsoleEnding("Cyrillic " + InCodePage(CP_ACP, L"\u041A\u0438\u0440\u0438\u043B\u043B\u0438\u0446\u0430") + "\r\n"));
  ASSERT_TRUE(PressKeys(monitor().window(), {VK_CONTROL, 'F'}));
  const HWND dialog = monitor().WaitForDialog([](HWND d) { return GetDlgItem(d, edt1) && GetDlgItem(d, rad2); });
  ASSERT_NE(dialog, nullptr);
  SetDlgItemTextW(dialog, edt1, L"E2E_CLIENT.EXE] GREEK");
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return monitor().ButtonEnabled(ID_EDIT_COPY); }, 5000)) << "the sender was not found";
  ClearClipboard();
  monitor().Command(ID_EDIT_COPY);
  const std::wstring sender = ClipboardUnicode();  // "[<pid> monitor_e2e_client.exe] Greek"
  const std::wstring ending = L" monitor_e2e_client.exe] Greek";
  ASSERT_GT(sender.size(), ending.size());
  EXPECT_EQ(sender.front(), L'[');
  EXPECT_EQ(sender.substr(sender.size() - ending.size()), ending);
  const struct {
    const wchar_t* typed;
    const wchar_t* found;
  } cases[] = {
      {L"\u03B5\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC", L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"},
      {L"\u041A\u0418\u0420\u0418\u041B\u041B\u0418\u0426\u0410", L"\u041A\u0438\u0440\u0438\u043B\u043B\u0438\u0446\u0430"},
      {L"\u672C\u8A9E, EMOJI \U0001F600", L"\u672C\u8A9E, emoji \U0001F600"},
  };
  for (const auto& c : cases) {
    SetDlgItemTextW(dialog, edt1, c.typed);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return monitor().ButtonEnabled(ID_EDIT_COPY); }, 5000)) << "no hit";
    ClearClipboard();
    monitor().Command(ID_EDIT_COPY);
    EXPECT_EQ(ClipboardUnicode(), c.found);
  }
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(monitor().Exit(), 0u);
  monitor_.reset();
}

}  // namespace
