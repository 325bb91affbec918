// The views in the monitor of this process, with messages from two client processes: the
// console's context menu on a line offers its process; "Show only this process" makes a view of
// it, "Hide this process" a rule of the view shown; each view keeps its place and selection.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/app/monitor_app.h"
#include "resource_ids.h"
#include "running_monitor.h"
#include "support/dialog_driver.h"
#include "support/monitor_process.h"
#include "support/popup_probe.h"
#include "tests/support/stored_text.h"

namespace {

constexpr char kBanner[] = "<< open TELLIT monitor >>";

class ViewsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(monitor_.started()); }

  // A client process that sends `count` lines "word 0" ...; its process id.
  DWORD Send(const std::string& word, int count) {
    ChildProcess client(BinDirectory() + "\\monitor_e2e_client.exe lines " + std::to_string(count) + " " + word, "");
    EXPECT_TRUE(client.started());
    EXPECT_EQ(client.Wait(30000), 0u);
    return client.id();
  }
  // The lines the view shows, as drawn, without the banners.
  std::vector<std::string> Shown() {
    std::vector<std::string> lines;
    for (const std::string& line : Lines(DrawnText(app.liveConsole().view))) {
      if (line != kBanner && !line.empty()) lines.push_back(line);
    }
    return lines;
  }
  bool WaitForShown(const std::vector<std::string>& expected) {
    for (int i = 0; i < 500; ++i) {
      if (Shown() == expected) return true;
      Pump(20);
    }
    return Shown() == expected;
  }
  // Right-clicks the shown line that begins with the text; what the menu offered.
  PopupProbe RightClickOn(const std::string& text) {
    const TextStore& store = app.liveConsole().text;
    int row = -1;
    for (uint32_t v = 0; v < store.ShownLineCount() && row < 0; ++v) {
      const uint32_t line = store.ShownLine(v);
      if (StoredText(store, store.LineStart(line), uint32_t(text.size())) == text) row = int(v) - app.liveConsole().vPos;
    }
    EXPECT_GE(row, 0) << text << " is not shown";
    EXPECT_TRUE(monitor_.BringToFront());
    PopupProbe probe;
    PopupProbe::Current() = &probe;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, PopupProbe::Read);
    const int y = app.liveConsole().view.topMargin + row * app.liveConsole().lineHeight + app.liveConsole().lineHeight / 2;
    SendMessageA(app.liveConsole().window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(app.liveConsole().view.leftMargin + 3, y));
    // The menu runs inside the call, and the timer reads it there; a slow machine gets its time.
    for (int i = 0; i < 250 && !probe.shown; ++i) Pump(20);
    KillTimer(nullptr, timer);
    PopupProbe::Current() = nullptr;
    return probe;
  }
  static bool Offers(const PopupProbe& probe, UINT command, const std::string& text) {
    for (size_t i = 0; i < probe.items.size(); ++i) {
      if (probe.items[i] == command) return probe.texts[i] == text;
    }
    return false;
  }

  RunningMonitor monitor_{"[system]\r\nlanguage=0\r\n"};
  MonitorApp& app = monitor_.app();
};

TEST_F(ViewsTest, TheContextMenuShowsOnlyOrHidesTheProcessOfALine) {
  const DWORD alpha = Send("alpha", 2);
  Send("beta", 2);
  ASSERT_TRUE(WaitForShown({"alpha 0", "alpha 1", "beta 0", "beta 1"}));

  const PopupProbe onAlpha = RightClickOn("alpha 1");
  ASSERT_TRUE(onAlpha.shown);
  EXPECT_TRUE(Offers(onAlpha, ID_VIEW_SHOW_ONLY_PROCESS, "Show only this process"));
  EXPECT_TRUE(Offers(onAlpha, ID_VIEW_HIDE_PROCESS, "Hide this process"));
  EXPECT_EQ(app.liveConsole().menuPid, alpha);
  app.OnCommand(ID_VIEW_SHOW_ONLY_PROCESS);
  ASSERT_EQ(app.views().list().size(), 2u);
  EXPECT_EQ(app.views().list().current(), 1u);
  EXPECT_EQ(app.views().ViewName(1), "monitor_e2e_client.exe") << "named after the program";
  EXPECT_TRUE(WaitForShown({"alpha 0", "alpha 1"}));

  // Back in the first view, the other process hidden there: the new view keeps its own rules.
  app.OnCommand(ID_VIEW_NEXT);
  EXPECT_EQ(app.views().list().current(), 0u);
  ASSERT_TRUE(WaitForShown({"alpha 0", "alpha 1", "beta 0", "beta 1"}));
  RightClickOn("beta 0");
  app.OnCommand(ID_VIEW_HIDE_PROCESS);
  EXPECT_TRUE(WaitForShown({"alpha 0", "alpha 1"}));
  Send("gamma", 1);  // a third process: shown in the first view, not in the second
  EXPECT_TRUE(WaitForShown({"alpha 0", "alpha 1", "gamma 0"}));
  app.OnCommand(ID_VIEW_PREVIOUS);
  EXPECT_EQ(app.views().list().current(), 1u);
  EXPECT_TRUE(WaitForShown({"alpha 0", "alpha 1"}));
  EXPECT_EQ(app.views().list()[0].rules.size(), 1u);
  EXPECT_EQ(app.views().list()[1].rules.size(), 1u);
}

// A selection made in one view is there again when the view is shown again, and Copy with it.
TEST_F(ViewsTest, EachViewKeepsItsSelectionAndTheMenuFollowsTheCount) {
  Send("one", 3);
  ASSERT_TRUE(WaitForShown({"one 0", "one 1", "one 2"}));
  const uint32_t second = app.liveConsole().text.LineStart(app.liveConsole().text.ShownLine(2));
  app.liveConsole().SelectRange(int32_t(second), int32_t(second + 4));
  EXPECT_EQ(StoredText(app.liveConsole().text, second, 5), "one 1");
  const UINT closeBefore = GetMenuState(GetMenu(app.window()), ID_VIEW_CLOSE, MF_BYCOMMAND);
  EXPECT_NE(closeBefore & MF_GRAYED, 0u) << "the only view cannot be closed";
  app.OnCommand(ID_VIEW_NEW);
  EXPECT_EQ(GetMenuState(GetMenu(app.window()), ID_VIEW_CLOSE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(app.liveConsole().text.selection.state, Selection::kNone) << "the new view has none";
  app.OnCommand(ID_VIEW_NEXT);
  ASSERT_EQ(app.liveConsole().text.selection.state, Selection::kFinished);
  EXPECT_EQ(std::min(app.liveConsole().text.selection.anchor.offset, app.liveConsole().text.selection.end.offset), int32_t(second));
  app.OnCommand(ID_VIEW_CLOSE);
  EXPECT_EQ(app.views().list().size(), 1u);
  EXPECT_NE(GetMenuState(GetMenu(app.window()), ID_VIEW_CLOSE, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

}  // namespace
