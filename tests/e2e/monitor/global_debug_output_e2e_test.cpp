// vigilo.exe capturing the global debug output that services write: a writer of the global
// objects in another process, the View menu's toggle and its setting, and a user without the
// right to create global objects.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resource_ids.h"
#include "support/global_debug_output.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"
#include "support/status_bar_text.h"

namespace {

const std::string kEnglish = "[system]\r\nlanguage=0\r\n";
constexpr int kNoticePart = 3;  // count, rate, log, then the notice

// A service's stand-in: writes "TAG i\n" through the global objects; its exit code says whether
// every message found a listener.
DWORD RunGlobalWriter(int count, const std::string& tag, DWORD* processId = nullptr) {
  ChildProcess writer("\"" + BinDirectory() + "\\monitor_e2e_client.exe\" global " + std::to_string(count) + " " + tag,
                      "");
  if (!writer.started()) return STILL_ACTIVE;
  if (processId) *processId = writer.id();
  return writer.Wait(60000);
}

bool Shows(const MonitorProcess& monitor, const std::string& part, DWORD milliseconds = 5000) {
  return WaitUntil([&] { return monitor.ConsoleText().find(part) != std::string::npos; }, milliseconds);
}

TEST(GlobalDebugOutputEndToEnd, AServicesLinesShowWithTheirSenderAndTheToggleIsSaved) {
  ScratchDir dir;
  const std::string ini = dir.File("vigilo.ini");
  MonitorProcess monitor(dir.path(), kEnglish + "capture global debug output=1\r\n");
  ASSERT_TRUE(monitor.WaitForWindow());
  DWORD pid = 0;
  ASSERT_EQ(RunGlobalWriter(3, "svc", &pid), 0u) << "the monitor listens to the global objects";
  const std::string prefix = "[" + std::to_string(pid) + " monitor_e2e_client.exe] ";
  ASSERT_TRUE(Shows(monitor, prefix + "svc 2\r\n")) << monitor.ConsoleText();
  EXPECT_NE(monitor.ConsoleText().find(prefix + "svc 0\r\n" + prefix + "svc 1\r\n"), std::string::npos);

  monitor.Command(ID_VIEW_GLOBAL_DEBUG_OUTPUT);
  EXPECT_EQ(GetPrivateProfileIntA("system", "capture global debug output", -1, ini.c_str()), 0u);
  EXPECT_EQ(RunGlobalWriter(1, "unheard"), 1u) << "off: no global objects to write through";
  monitor.Command(ID_VIEW_GLOBAL_DEBUG_OUTPUT);
  EXPECT_EQ(GetPrivateProfileIntA("system", "capture global debug output", -1, ini.c_str()), 1u);
  ASSERT_EQ(RunGlobalWriter(1, "again", &pid), 0u);
  EXPECT_TRUE(Shows(monitor, "[" + std::to_string(pid) + " monitor_e2e_client.exe] again 0\r\n"));
  EXPECT_EQ(StatusBarText(monitor.statusBar(), kNoticePart), "") << "nothing to tell";
  EXPECT_EQ(monitor.Exit(), 0u);
}

TEST(GlobalDebugOutputEndToEnd, WithoutTheRightTheStatusBarSaysSoAndTheSessionsOutputStillShows) {
  const scoped::Handle denied = HoldGlobalDebugObjectDenied();
  ASSERT_TRUE(denied);
  ScratchDir dir;
  MonitorProcess monitor(dir.path(), kEnglish + "capture debug output=1\r\ncapture global debug output=1\r\n");
  ASSERT_TRUE(monitor.WaitForWindow());
  const std::string told =
      "Global debug output not captured: creating global objects needs a right this user lacks (run as administrator)";
  EXPECT_TRUE(WaitUntil([&] { return StatusBarText(monitor.statusBar(), kNoticePart) == told; }, 5000))
      << StatusBarText(monitor.statusBar(), kNoticePart);
  EXPECT_EQ(monitor.FindDialog(), nullptr) << "a status bar notice, no box";
  OutputDebugStringA("the session's line\n");
  EXPECT_TRUE(Shows(monitor, "] the session's line\r\n"));
  EXPECT_EQ(monitor.Exit(), 0u);
}

}  // namespace
