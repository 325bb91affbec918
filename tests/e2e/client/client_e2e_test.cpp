// Client programs as users build them, of both bitnesses, reaching a running vigilo.exe and shown in its console.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "support/monitor_process.h"
#include "support/other_bitness.h"
#include "support/scratch_dir.h"

namespace {

const std::string kBanner = "<< open TELLIT monitor >>\r\n";

int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

TEST(ClientEndToEnd, HelloExampleShowsInTheMonitorsConsole) {
  ScratchDir dir;
  WriteWholeFile(dir.File("vigilo.ini"), "[system]\r\nlanguage=0\r\n");
  MonitorProcess monitor(dir.path());
  ASSERT_TRUE(monitor.WaitForWindow());

  ChildProcess hello("\"" + BinDirectory() + "\\hello.exe\"", "");
  ASSERT_TRUE(hello.started());
  EXPECT_EQ(hello.Wait(30000), 0u);

  // The lines arrive whole and in order after the banner, with CR LF line ends.
  std::string text;
  ASSERT_TRUE(WaitUntil([&] { return (text = monitor.ConsoleText()).find("wide text: 42\r\n") != std::string::npos; },
                        10000))
      << text;
  EXPECT_EQ(text.rfind(kBanner + "hello from process ", 0), 0u) << text;
  EXPECT_NE(text.find("\r\nmessage 1 of 3: narrow text\r\nmessage 2 of 3: narrow text\r\n"
                      "message 3 of 3: narrow text\r\npi is about 3.142, 2^40 is 1099511627776\r\n"
                      "wide text: 42\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(Occurrences(text, kBanner), 1) << text;
  EXPECT_EQ(monitor.Exit(), 0u);
}

// A 64-bit client reaches the 32-bit monitor, and a 32-bit client the 64-bit monitor.
TEST(ClientEndToEnd, ClientOfTheOtherBitnessShowsInTheMonitorsConsole) {
  const OtherBitness other = FindOtherBitness();
  if (other.folder.empty()) GTEST_SKIP() << other.whyNot;
  ScratchDir dir;
  WriteWholeFile(dir.File("vigilo.ini"), "[system]\r\nlanguage=0\r\n");
  MonitorProcess monitor(dir.path());
  ASSERT_TRUE(monitor.WaitForWindow());

  ChildProcess client("\"" + other.folder + "/tellit_sender.exe\" W 3", "");
  ASSERT_TRUE(client.started());
  EXPECT_EQ(client.Wait(30000), 0u);

  const std::string bits = std::to_string(other.bits);
  const std::string expected =
      kBanner + "W ready " + bits + "\r\nW " + bits + " 0\r\nW " + bits + " 1\r\nW " + bits + " 2\r\n";
  std::string text;
  EXPECT_TRUE(WaitUntil([&] { return (text = monitor.ConsoleText()) == expected; }, 10000)) << text;
  EXPECT_EQ(monitor.Exit(), 0u);
}

}  // namespace
