// vigilo.exe capturing OutputDebugString beside the messages of tellit.dll: the sender prefix,
// order per process, the View menu's toggle and its setting, a listener that was there first.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "receiving/debug_output_source.h"
#include "resource_ids.h"
#include "support/dialog_driver.h"
#include "support/monitor_process.h"
#include "support/other_bitness.h"
#include "support/scratch_dir.h"

namespace {

const std::string kEnglish = "[system]\r\nlanguage=0\r\n";

std::string Client(const std::string& folder, const std::string& arguments) {
  return "\"" + folder + "\\monitor_e2e_client.exe\" " + arguments;
}

// A sender's call returns at once when nobody listens, and within the system's own wait at
// worst: the figure that matters is far below its 10 s.
DWORD TimeOfOneCall(const char* text) {
  const DWORD start = GetTickCount();
  OutputDebugStringA(text);
  return GetTickCount() - start;
}

bool Shows(const MonitorProcess& monitor, const std::string& part, DWORD milliseconds = 5000) {
  return WaitUntil([&] { return monitor.ConsoleText().find(part) != std::string::npos; }, milliseconds);
}

TEST(DebugOutputEndToEnd, EveryProcessesDebugOutputArrivesPrefixedAndInOrder) {
  ScratchDir dir;
  MonitorProcess monitor(dir.path(), kEnglish + "capture debug output=1\r\n[console]\r\nbuffer size=1024\r\n");
  ASSERT_TRUE(monitor.WaitForWindow());
  constexpr int kCount = 150;
  std::vector<ChildProcess> clients;
  std::map<std::string, std::string> prefixes;  // tag -> "[pid name] "
  const auto start = [&](const std::string& folder, const std::string& mode, const std::string& tag) {
    clients.emplace_back(Client(folder, mode + " " + std::to_string(kCount) + " " + tag), "");
    ASSERT_TRUE(clients.back().started());
    prefixes[tag] = "[" + std::to_string(clients.back().id()) + " monitor_e2e_client.exe] ";
  };
  start(BinDirectory(), "debug", "A");
  start(BinDirectory(), "debugw", "W");
  const OtherBitness other = FindOtherBitness();
  if (!other.folder.empty()) start(other.folder, "debug", "X");
  ChildProcess tellit(Client(BinDirectory(), "lines " + std::to_string(kCount) + " T"), "");
  ASSERT_TRUE(tellit.started());
  for (ChildProcess& client : clients) EXPECT_EQ(client.Wait(60000), 0u);
  EXPECT_EQ(tellit.Wait(60000), 0u);

  std::string text;
  const std::string lastT = "T " + std::to_string(kCount - 1) + "\r\n";
  ASSERT_TRUE(WaitUntil(
      [&] {
        text = monitor.ConsoleText();
        for (const auto& [tag, prefix] : prefixes) {
          if (text.find(prefix + tag + " " + std::to_string(kCount - 1) + "\r\n") == std::string::npos) return false;
        }
        return text.find(lastT) != std::string::npos;
      },
      15000))
      << text.substr(text.size() > 2000 ? text.size() - 2000 : 0);

  std::map<std::string, int> next;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line == "<< open TELLIT monitor >>\r") continue;
    std::string tag = "T";
    std::string body = line;
    if (line[0] == '[') {
      bool known = false;
      for (const auto& [candidate, prefix] : prefixes) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
          tag = candidate;
          body = line.substr(prefix.size());
          known = true;
        }
      }
      ASSERT_TRUE(known) << "an unknown sender: " << line;
    }
    ASSERT_EQ(body, tag + " " + std::to_string(next[tag]) + "\r") << "lost, repeated, reordered or mixed";
    ++next[tag];
  }
  for (const auto& [tag, prefix] : prefixes) EXPECT_EQ(next[tag], kCount) << tag;
  EXPECT_EQ(next["T"], kCount);
  if (other.folder.empty()) std::printf("no client of the other bitness: %s\n", other.whyNot.c_str());
  EXPECT_EQ(monitor.Exit(), 0u);
}

TEST(DebugOutputEndToEnd, TheViewMenuToggleIsSavedAndReadAtTheNextStart) {
  ScratchDir dir;
  const std::string ini = dir.File("vigilo.ini");
  {
    MonitorProcess monitor(dir.path(), kEnglish);
    ASSERT_TRUE(monitor.WaitForWindow());
    OutputDebugStringA("before the toggle\n");
    ASSERT_TRUE(SendToMonitor("marker\n"));
    ASSERT_TRUE(Shows(monitor, "marker\r\n"));
    EXPECT_EQ(monitor.ConsoleText().find("before the toggle"), std::string::npos) << "off by default";

    monitor.Command(ID_VIEW_DEBUG_OUTPUT);
    EXPECT_EQ(GetPrivateProfileIntA("system", "capture debug output", -1, ini.c_str()), 1u);
    OutputDebugStringA("after the toggle\n");
    EXPECT_TRUE(Shows(monitor, "] after the toggle\r\n"));
    EXPECT_EQ(monitor.Exit(), 0u);
  }
  EXPECT_LT(TimeOfOneCall("after the monitor closed\n"), 2000u);
  {
    MonitorProcess monitor(dir.path());
    ASSERT_TRUE(monitor.WaitForWindow());
    OutputDebugStringA("read at the start\n");
    EXPECT_TRUE(Shows(monitor, "] read at the start\r\n"));

    monitor.Command(ID_VIEW_DEBUG_OUTPUT);
    EXPECT_EQ(GetPrivateProfileIntA("system", "capture debug output", -1, ini.c_str()), 0u);
    EXPECT_LT(TimeOfOneCall("after switching off\n"), 2000u);
    ASSERT_TRUE(SendToMonitor("second marker\n"));
    ASSERT_TRUE(Shows(monitor, "second marker\r\n"));
    EXPECT_EQ(monitor.ConsoleText().find("after switching off"), std::string::npos);
    EXPECT_EQ(monitor.Exit(), 0u);
  }
}

TEST(DebugOutputEndToEnd, AListenerThatWasThereFirstMakesTheMonitorRefuseAndSaySo) {
  DebugOutputSource first;
  ASSERT_EQ(first.Start(), DebugOutputSource::StartResult::kStarted);
  ScratchDir dir;
  MonitorProcess monitor(dir.path(), kEnglish + "capture debug output=1\r\n");
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindProcessDialog(monitor.id())) != nullptr; }, 10000));
  EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)),
            "Another program is capturing debug output: OutputDebugString cannot be captured.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(monitor.WaitForWindow());
  OutputDebugStringA("for the first listener\n");
  DebugMessage message;
  ASSERT_TRUE(WaitUntil([&] { return first.Next(message); }, 2000));
  EXPECT_EQ(message.text, "for the first listener\n");
  ASSERT_TRUE(SendToMonitor("marker\n"));
  ASSERT_TRUE(Shows(monitor, "marker\r\n"));
  EXPECT_EQ(monitor.ConsoleText().find("for the first listener"), std::string::npos);
  EXPECT_EQ(GetPrivateProfileIntA("system", "capture debug output", -1, dir.File("vigilo.ini").c_str()), 1u)
      << "the setting stays for the next start";
  EXPECT_EQ(monitor.Exit(), 0u);
}

}  // namespace
