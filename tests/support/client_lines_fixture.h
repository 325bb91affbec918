// ClientLinesFixture: a monitor started by the test and client processes that send it lines
// through tellit.dll; what the console shows, All Copy without the banners every client's first
// message brings.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/monitor_fixture.h"

class ClientLinesFixture : public MonitorFixture {
 protected:
  static constexpr const char* kBanner = "<< open TELLIT monitor >>";

  // monitor_e2e_client.exe with these arguments ("lines 3 keep": "keep 0" to "keep 2"), waited for.
  void Send(const std::string& arguments) {
    ChildProcess client(BinDirectory() + "\\monitor_e2e_client.exe " + arguments, "");
    ASSERT_TRUE(client.started());
    ASSERT_EQ(client.Wait(30000), 0u);
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> lines;
    for (const std::string& line : Lines(monitor().ConsoleText())) {
      if (line != kBanner) lines.push_back(line);
    }
    return lines;
  }
  bool WaitForShown(const std::vector<std::string>& expected) {
    return WaitUntil([&] { return Shown() == expected; }, 10000);
  }
};
