// The monitor's rooms include one another in one direction only: each room includes only the rooms
// before it, so that no two include each other, directly or round a circle.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

namespace {

TEST(MonitorRooms, EachRoomIncludesOnlyTheRoomsBeforeIt) {
  const struct {
    std::string room;
    std::set<std::string> may;  // besides itself and the resources
  } rooms[] = {
      {"common", {}},
      {"settings", {"common"}},
      {"view", {"common", "settings"}},
      {"log", {"common", "settings"}},
      {"filters", {"common", "settings"}},
      {"files", {"common", "settings", "view", "filters"}},
      {"app", {"common", "settings", "view", "log", "filters", "files"}},
  };
  const std::filesystem::path monitor = std::filesystem::path(VIGILO_SOURCE_DIR) / "monitor";
  const std::regex include("#include \"monitor/([a-z_]+)/");
  int files = 0;
  for (const auto& c : rooms) {
    for (const auto& entry : std::filesystem::directory_iterator(monitor / c.room)) {
      ++files;
      std::ifstream in(entry.path());
      std::string line;
      while (std::getline(in, line)) {
        std::smatch match;
        if (!std::regex_search(line, match, include)) continue;
        const std::string target = match[1];
        EXPECT_TRUE(target == c.room || target == "resources" || c.may.count(target) != 0)
            << entry.path().filename() << " of " << c.room << " includes " << target;
      }
    }
  }
  EXPECT_GT(files, 40) << "the rooms were not found under " << monitor;
  // Every room of the monitor is in the table.
  std::set<std::string> listed = {"resources"};
  for (const auto& c : rooms) listed.insert(c.room);
  for (const auto& entry : std::filesystem::directory_iterator(monitor)) {
    if (entry.is_directory()) EXPECT_EQ(listed.count(entry.path().filename().string()), 1u) << entry.path();
  }
}

}  // namespace
