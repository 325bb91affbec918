// Views end to end: views read from vigilo.ini show each their own messages from client
// processes, new ones arrive in the view shown, New View shows everything, Close View takes it
// away, and the views are written back when the monitor exits.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/client_lines_fixture.h"
#include "support/screenshot.h"
#include "support/status_bar_text.h"

namespace {

class ViewsEndToEnd : public ClientLinesFixture {
 protected:
  int Tabs() { return int(SendMessageA(monitor().tabs(), TCM_GETITEMCOUNT, 0, 0)); }
  int CurrentTab() { return int(SendMessageA(monitor().tabs(), TCM_GETCURSEL, 0, 0)); }
  std::string Value(const char* section, const char* key) {
    char text[512] = "";
    GetPrivateProfileStringA(section, key, "(none)", text, sizeof text, dir_.File("vigilo.ini").c_str());
    return text;
  }
};

TEST_F(ViewsEndToEnd, EachViewShowsItsOwnMessagesAndTheViewsAreSavedOnExit) {
  Start("[system]\r\nlanguage=0\r\nviews=2\r\n"
        "[filters]\r\ncount=1\r\nrule 1=exclude;text;1;0;0;65535;drop\r\n"
        "[view 2]\r\nname=drops\r\ncount=1\r\nrule 1=include;text;1;0;0;65535;drop\r\n");
  ASSERT_EQ(Tabs(), 2);
  EXPECT_EQ(CurrentTab(), 0);
  Send("lines 2 keep");
  Send("lines 2 drop");
  ASSERT_TRUE(WaitForShown({"keep 0", "keep 1"}));

  monitor().Command(ID_VIEW_NEXT);
  EXPECT_EQ(CurrentTab(), 1);
  EXPECT_TRUE(WaitForShown({"drop 0", "drop 1"}));
  Send("lines 1 dropped");  // while the second view shows: it comes in there
  EXPECT_TRUE(WaitForShown({"drop 0", "drop 1", "dropped 0"}));
  std::string count;
  EXPECT_TRUE(WaitUntil([&] { return (count = StatusBarText(monitor().statusBar(), 0)) == "Messages: 8 (6 shown, 2 hidden)"; },
                        5000))
      << count;
  EXPECT_TRUE(SaveScreenshot(monitor().window(), "views-second-en"));

  monitor().Command(ID_VIEW_NEW);
  EXPECT_EQ(Tabs(), 3);
  EXPECT_EQ(CurrentTab(), 2);
  EXPECT_TRUE(WaitForShown({"keep 0", "keep 1", "drop 0", "drop 1", "dropped 0"})) << "a new view shows everything";
  monitor().Command(ID_VIEW_CLOSE);
  EXPECT_EQ(Tabs(), 2);
  EXPECT_EQ(CurrentTab(), 1);
  EXPECT_TRUE(WaitForShown({"drop 0", "drop 1", "dropped 0"}));
  monitor().Command(ID_VIEW_NEXT);  // round to the first
  EXPECT_EQ(CurrentTab(), 0);
  EXPECT_TRUE(WaitForShown({"keep 0", "keep 1"}));

  // Rename View: the dialog's name is the view's, saved at once.
  monitor().PostCommand(ID_VIEW_RENAME);
  const HWND rename = monitor().WaitForDialogWithControl(IDC_VIEW_NAME);
  ASSERT_NE(rename, nullptr);
  char before[64] = "";
  GetDlgItemTextA(rename, IDC_VIEW_NAME, before, sizeof before);
  EXPECT_STREQ(before, "View 1");
  SetDlgItemTextA(rename, IDC_VIEW_NAME, "kept");
  PostMessageA(rename, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(monitor().WaitForNoDialog());
  EXPECT_TRUE(WaitUntil([&] { return Value("filters", "name") == "kept"; }, 5000)) << Value("filters", "name");

  ASSERT_EQ(monitor().Exit(), 0u);
  monitor_.reset();
  EXPECT_EQ(Value("system", "views"), "2");
  EXPECT_EQ(Value("system", "current view"), "1");
  EXPECT_EQ(Value("filters", "rule 1"), "exclude;text;1;0;0;65535;drop");
  EXPECT_EQ(Value("view 2", "name"), "drops");
  EXPECT_EQ(Value("view 2", "count"), "1");
  EXPECT_EQ(Value("view 2", "rule 1"), "include;text;1;0;0;65535;drop");
  EXPECT_EQ(Value("view 3", "count"), "(none)") << "the closed view's section is gone";
}

// A section that is missing reads as a view with no rules, said once.
TEST_F(ViewsEndToEnd, AMissingSectionIsAViewOfEverythingAndIsTold) {
  Start("[system]\r\nlanguage=0\r\nviews=2\r\ncurrent view=2\r\n");
  constexpr int kMessageBoxText = 0xFFFF;
  const HWND box = monitor().WaitForDialog([](HWND d) { return GetDlgItem(d, kMessageBoxText) != nullptr; }, 10000);
  ASSERT_NE(box, nullptr);
  char told[512] = "";
  GetDlgItemTextA(box, kMessageBoxText, told, sizeof told);
  EXPECT_NE(std::string(told).find("view 2"), std::string::npos) << told;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(monitor().WaitForNoDialog());
  EXPECT_EQ(Tabs(), 2);
  EXPECT_EQ(CurrentTab(), 1);
  Send("lines 2 any");
  EXPECT_TRUE(WaitForShown({"any 0", "any 1"}));
}

// An opened file is a tab after the views': shown when it opens, reached by Next View as the
// views are, and closed by Close View, which then shows the view of the live history again.
TEST_F(ViewsEndToEnd, AnOpenedFileIsATabAfterTheViews) {
  WriteWholeFile(dir_.File("opened.txt"), "from the file 1\r\nfrom the file 2\r\n");
  monitor_.reset(new MonitorProcess(dir_.path(),
                                    "[system]\r\nlanguage=0\r\nviews=2\r\n[view 2]\r\ncount=1\r\n"
                                    "rule 1=include;text;1;0;0;65535;live*\r\n",
                                    "opened.txt"));
  ASSERT_TRUE(monitor().WaitForWindow());
  ASSERT_TRUE(WaitUntil([&] { return Tabs() == 3; }, 10000));
  EXPECT_EQ(CurrentTab(), 2) << "the file's tab shows once it opens";
  EXPECT_TRUE(WaitForShown({"from the file 1", "from the file 2"}));
  EXPECT_TRUE(SaveScreenshot(monitor().window(), "views-file-tab-en"));
  Send("lines 1 live");  // into the live history, not the file
  monitor().Command(ID_VIEW_NEXT);
  EXPECT_EQ(CurrentTab(), 0);
  EXPECT_TRUE(WaitForShown({"live 0"}));
  monitor().Command(ID_VIEW_PREVIOUS);
  EXPECT_EQ(CurrentTab(), 2);
  EXPECT_TRUE(WaitForShown({"from the file 1", "from the file 2"}));
  monitor().Command(ID_VIEW_CLOSE);
  EXPECT_EQ(Tabs(), 2);
  EXPECT_EQ(CurrentTab(), 0);
  EXPECT_TRUE(WaitForShown({"live 0"}));
}

}  // namespace
