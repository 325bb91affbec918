// vigilo.exe under stress: many writers at once, a foreign writer sending garbage, and every key
// of vigilo.ini set to values no settings page would write.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "channel/channel.h"
#include "support/dialog_driver.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"

namespace {

const std::string kEnglish = "[system]\r\nlanguage=0\r\n";

// The window still handles messages: it answers within the time.
bool Answers(HWND window, UINT milliseconds) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, milliseconds, &result) != 0;
}

// A client handle to the monitor's mailslot, opened as any program could.
class ForeignWriter {
 public:
  ForeignWriter() {
    char name[channel::kNameBufferSize];
    channel::FormatMailslotName(name);
    handle_ = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  ~ForeignWriter() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  ForeignWriter(const ForeignWriter&) = delete;
  ForeignWriter& operator=(const ForeignWriter&) = delete;

  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Send(const std::string& bytes) const {
    DWORD written = 0;
    return WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Three client processes of four threads each: every message arrives once, whole, and in order
// per thread, in a console large enough to hold them all.
TEST(RobustnessEndToEnd, TwelveWritersInThreeProcessesLoseNothing) {
  ScratchDir dir;
  MonitorProcess monitor(dir.path(), kEnglish + "[console]\r\nbuffer size=1024\r\n");
  ASSERT_TRUE(monitor.WaitForWindow());
  constexpr int kThreads = 4, kCount = 700;
  const std::string client = "\"" + BinDirectory() + "\\monitor_e2e_client.exe\" threads " +
                             std::to_string(kThreads) + " " + std::to_string(kCount) + " ";
  std::vector<ChildProcess> clients;
  for (const char* tag : {"P", "Q", "R"}) {
    clients.emplace_back(client + tag, "");
    ASSERT_TRUE(clients.back().started());
  }
  for (ChildProcess& process : clients) EXPECT_EQ(process.Wait(120000), 0u);

  const std::string last = " " + std::to_string(kCount - 1) + "\r\n";
  std::string text;
  int complete = 0;
  ASSERT_TRUE(WaitUntil(
      [&] {
        text = monitor.ConsoleText();
        complete = 0;
        for (const char* tag : {"P", "Q", "R"})
          for (int t = 0; t < kThreads; ++t)
            if (text.find(std::string(tag) + " " + std::to_string(t) + last) != std::string::npos) ++complete;
        return complete == 3 * kThreads;
      },
      30000))
      << complete << " of " << 3 * kThreads << " threads complete";

  std::map<std::string, int> next;
  int banners = 0;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r') << line;
    line.pop_back();
    if (line == "<< open TELLIT monitor >>") {
      ++banners;
      continue;
    }
    char tag[4] = {};
    int t = -1, i = -1;
    char rest = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%3s %d %d%c", tag, &t, &i, &rest), 3) << "a mixed or cut message: " << line;
    const std::string writer = std::string(tag) + " " + std::to_string(t);
    ASSERT_EQ(i, next[writer]) << writer << " lost, repeated or reordered a message";
    next[writer] = i + 1;
  }
  EXPECT_EQ(banners, 3);
  ASSERT_EQ(next.size(), static_cast<size_t>(3 * kThreads));
  for (const auto& [writer, count] : next) EXPECT_EQ(count, kCount) << writer;
  EXPECT_EQ(monitor.Exit(), 0u);
}

// Random datagrams of any size and content from a program that is not the client library, between
// numbered marks: the window keeps answering and every mark arrives.
TEST(RobustnessEndToEnd, ForeignGarbageNeitherStallsNorBlindsTheMonitor) {
  // A different run each time; the trace names the start value, so a failure can be run again.
  const unsigned start = static_cast<unsigned>(GetTickCount());
  SCOPED_TRACE("random start value " + std::to_string(start));
  ScratchDir dir;
  MonitorProcess monitor(dir.path(), kEnglish + "[console]\r\nbuffer size=1024\r\n");
  ASSERT_TRUE(monitor.WaitForWindow());
  ForeignWriter writer;
  ASSERT_TRUE(writer.ok());
  std::mt19937 random(start);
  std::uniform_int_distribution<int> size(0, 70000), byte(0, 255), kind(0, 3);
  for (int mark = 0; mark < 40; ++mark) {
    const int datagrams = 1 + kind(random);
    for (int d = 0; d < datagrams; ++d) {
      // Sizes 0 and 1 (the lone NUL) come often: they used to end the channel or the tick.
      const int k = kind(random);
      std::string garbage(k == 0 ? 0 : k == 1 ? 1 : static_cast<size_t>(size(random)), '\0');
      for (char& c : garbage) c = static_cast<char>(byte(random));
      ASSERT_TRUE(writer.Send(garbage)) << "datagram of " << garbage.size() << " bytes";
    }
    const std::string text = "\nmark " + std::to_string(mark) + "\n";
    ASSERT_TRUE(writer.Send(text + std::string(1, '\0')));
    ASSERT_TRUE(Answers(monitor.window(), 2000)) << "the window stopped answering after mark " << mark;
    std::string shown;
    ASSERT_TRUE(WaitUntil(
        [&] { return (shown = monitor.ConsoleText()).find("mark " + std::to_string(mark) + "\r\n") != std::string::npos; },
        5000))
        << "mark " << mark << " never arrived";
  }
  EXPECT_EQ(monitor.Exit(), 0u);
}

// Every key, in turn, set to values that are no usable setting: the monitor starts (after the
// language question, where the language itself is unusable), shows a message and closes.
TEST(RobustnessEndToEnd, EveryKeyWithUnusableValuesStillStartsShowsAndCloses) {
  const std::vector<std::pair<std::string, std::string>> keys = {
      {"system", "language"},          {"system", "tool bar"},          {"system", "status bar"},
      {"console", "column"},           {"console", "buffer size"},      {"console", "v scroll bar"},
      {"console", "h scroll bar"},     {"console", "hex mode"},         {"console", "auto scroll"},
      {"console", "tabs"},             {"console", "text font size"},   {"console", "text font name"},
      {"console", "console text 1"},   {"console", "console back 1"},   {"console", "console text 2"},
      {"console", "console back 2"},   {"console", "console text 3"},   {"console", "console back 3"},
      {"console", "custom 0"},         {"console", "custom 15"},        {"log file", "save console"},
      {"log file", "file name"},
  };
  const std::vector<std::string> values = {"-1",  "0", "2147483647", "4294967296",
                                           "abc", "",  std::string(5000, '9')};
  ScratchDir dir;
  int started = 0;
  for (const auto& [section, key] : keys) {
    for (const std::string& value : values) {
      SCOPED_TRACE(section + "/" + key + "=" + value.substr(0, 12));
      std::string ini = "[" + section + "]\r\n" + key + "=" + value + "\r\n";
      if (key != "language") ini = kEnglish + ini;
      // The monitor before has gone, its window and its mailslot with it: a start that found
      // them would take itself for a second one and end.
      ASSERT_TRUE(WaitUntilNoMonitorRuns());
      const DWORD begin = GetTickCount();
      MonitorProcess monitor(dir.path(), ini);
      // An unusable language brings the language question first.
      ASSERT_TRUE(WaitUntil(
          [&] {
            if (const HWND question = FindProcessDialog(monitor.id())) PostMessageA(question, WM_COMMAND, IDOK, 0);
            return monitor.WaitForWindow(50);
          },
          10000));
      const std::string text = "started " + std::to_string(started) + "\n";
      ASSERT_TRUE(SendToMonitor(text));
      ASSERT_TRUE(monitor.WaitForConsoleEnding("started " + std::to_string(started) + "\r\n"));
      ASSERT_EQ(monitor.Exit(), 0u);
      EXPECT_LT(GetTickCount() - begin, 5000u);
      ++started;
    }
  }
  std::printf("%d starts, each with one unusable value\n", started);
}

}  // namespace
