// Client programs as users build them, 32- and 64-bit, reaching a running vigilo.exe and shown in its console.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "support/monitor_process.h"
#include "support/scratch_dir.h"

namespace {

const std::string kBanner = "<< open TELLIT monitor >>\r\n";

int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

std::string SixtyFourBitFolder() {
  char folder[MAX_PATH] = {};
  if (GetEnvironmentVariableA("VIGILO_TELLIT64_DIR", folder, MAX_PATH) == 0) return "";
  std::string path = folder;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;  // a Unix path, as CMake knows it
  return path;
}

TEST(ClientEndToEnd, HelloExampleAndA64BitClientShowInTheMonitorsConsole) {
  ScratchDir dir;
  WriteWholeFile(dir.File("vigilo.ini"), "[system]\r\nlanguage=0\r\n");
  MonitorProcess monitor(dir.path());
  ASSERT_TRUE(monitor.WaitForWindow());

  ChildProcess hello("\"" + BinDirectory() + "\\hello.exe\"", "");
  ASSERT_TRUE(hello.started());
  EXPECT_EQ(hello.Wait(30000), 0u);
  const std::string folder64 = SixtyFourBitFolder();
  if (!folder64.empty()) {
    ChildProcess client64("\"" + folder64 + "/tellit_sender.exe\" W 3", "");
    ASSERT_TRUE(client64.started());
    EXPECT_EQ(client64.Wait(30000), 0u);
  }

  // Each client's lines arrive whole and in order after its own banner, with CR LF line ends.
  const std::string hello64 = folder64.empty() ? "" : kBanner + "W ready 64\r\nW 64 0\r\nW 64 1\r\nW 64 2\r\n";
  std::string text;
  ASSERT_TRUE(WaitUntil(
      [&] {
        text = monitor.ConsoleText();
        return text.find("wide text: 42\r\n") != std::string::npos &&
               (hello64.empty() || text.find(hello64) != std::string::npos);
      },
      10000))
      << text;
  EXPECT_EQ(text.rfind(kBanner + "hello from process ", 0), 0u) << text;
  EXPECT_NE(text.find("\r\nmessage 1 of 3: narrow text\r\nmessage 2 of 3: narrow text\r\n"
                      "message 3 of 3: narrow text\r\npi is about 3.142, 2^40 is 1099511627776\r\n"
                      "wide text: 42\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(Occurrences(text, kBanner), folder64.empty() ? 1 : 2) << text;
  EXPECT_EQ(monitor.Exit(), 0u);
}

}  // namespace
