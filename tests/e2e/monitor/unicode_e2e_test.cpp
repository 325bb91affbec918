// The line no ANSI code page holds, from client processes through tellitwf and tellitu8f into
// vigilo.exe: the console keeps every character (All Copy's Unicode text is the line exactly), its
// UTF-8 log holds every character, as the system converts the line; an ANSI log holds the ANSI
// conversion, as a reader of the text up to the NUL sees it. Runs on code pages 1252 and 932, and
// keeps a screenshot of the console in each interface language.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/clipboard.h"
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

}  // namespace
