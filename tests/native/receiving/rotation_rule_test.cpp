// The rotation rule: where a file ends for a run of message sizes, the older files' names, and
// what the renames leave on an in-memory set of files, a failing rename included.
#include "receiving/rotation_rule.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// Writes the messages (their sizes, with the day of each) through the rule and answers the
// files it made, oldest first, each as its message sizes.
std::vector<std::vector<uint64_t>> Split(const rotation::Policy& policy, const std::vector<uint64_t>& sizes,
                                         const std::vector<int>& days = {}) {
  rotation::Rule rule(policy);
  rule.Opened(0, days.empty() ? 1 : days[0]);
  std::vector<std::vector<uint64_t>> files(1);
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const int day = days.empty() ? 1 : days[i];
    if (rule.Before(sizes[i], day)) {
      files.emplace_back();
      rule.Opened(0, day);
    }
    files.back().push_back(sizes[i]);
    rule.Wrote(sizes[i], day);
  }
  return files;
}

struct SplitCase {
  const char* what;
  rotation::Policy policy;
  std::vector<uint64_t> sizes;
  std::vector<int> days;
  std::vector<std::vector<uint64_t>> files;
};

TEST(RotationRule, EndsAFileWhereTheNextMessageWouldPassTheLimit) {
  const std::vector<SplitCase> cases = {
      {"no limit: one file", {0, 5, false}, {400, 400, 400}, {}, {{400, 400, 400}}},
      {"exactly full stays", {100, 5, false}, {50, 50, 1}, {}, {{50, 50}, {1}}},
      {"one byte over starts a new file", {100, 5, false}, {60, 41, 59}, {}, {{60}, {41, 59}}},
      {"an oversize message goes alone", {100, 5, false}, {10, 250, 10}, {}, {{10}, {250}, {10}}},
      {"an oversize first message goes alone", {100, 5, false}, {250, 250}, {}, {{250}, {250}}},
      {"a message of exactly the limit", {100, 5, false}, {100, 100, 0}, {}, {{100}, {100, 0}}},
      {"a huge message does not overflow the sum", {100, 5, false}, {1, ~uint64_t{0}}, {}, {{1}, {~uint64_t{0}}}},
      {"daily: a new day starts a file", {0, 5, true}, {5, 5, 5, 5}, {1, 1, 2, 3}, {{5, 5}, {5}, {5}}},
      {"daily and a limit", {10, 5, true}, {6, 6, 1, 1}, {1, 1, 1, 2}, {{6}, {6, 1}, {1}}},
      {"a new day without daily", {0, 5, false}, {5, 5}, {1, 2}, {{5, 5}}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(Split(c.policy, c.sizes, c.days), c.files) << c.what;
  }
}

TEST(RotationRule, AFileOpenedFullOrFromAnotherDayIsRotatedBeforeTheFirstMessage) {
  rotation::Rule rule({100, 5, true});
  rule.Opened(90, 20240105);
  EXPECT_TRUE(rule.Before(20, 20240105));
  EXPECT_FALSE(rule.Before(10, 20240105));
  EXPECT_TRUE(rule.Before(1, 20240106));
  rule.Opened(0, 20240105);
  EXPECT_FALSE(rule.Before(1, 20240106)) << "an empty file is never rotated";
}

TEST(RotationRule, AfterAFailedRotationTheNextTryWaitsForAnotherLimitOrDay) {
  rotation::Rule rule({100, 5, true});
  rule.Opened(0, 1);
  rule.Wrote(80, 1);
  ASSERT_TRUE(rule.Before(30, 1));
  rule.Deferred(1);
  rule.Wrote(30, 1);
  EXPECT_FALSE(rule.Before(60, 1)) << "60 bytes since the failure fit the limit";
  rule.Wrote(60, 1);
  EXPECT_TRUE(rule.Before(20, 1)) << "110 bytes since the failure pass it";
  EXPECT_TRUE(rule.Before(1, 2)) << "a new day tries again at once";
  EXPECT_EQ(rule.size(), 170u);
}

TEST(RotationRule, OlderNamesPutTheIndexBeforeTheExtension) {
  const struct {
    const char* name;
    uint32_t index;
    const char* older;
  } cases[] = {
      {"run.log", 1, "run.1.log"},
      {"run.log", 12, "run.12.log"},
      {"run", 1, "run.1"},
      {"run.tar.gz", 2, "run.tar.2.gz"},
      {"C:\\logs.d\\run", 3, "C:\\logs.d\\run.3"},
      {"C:\\logs.d\\run.txt", 3, "C:\\logs.d\\run.3.txt"},
      {"logs.d/run", 1, "logs.d/run.1"},
      {".log", 1, ".log.1"},
      {"C:.log", 1, "C:.log.1"},
      {"dir\\.hidden.json", 4, "dir\\.hidden.4.json"},
  };
  for (const auto& c : cases) EXPECT_EQ(rotation::OlderName(c.name, c.index), c.older) << c.name;
}

// Files by name with their content; a name in `locked` can be neither removed nor renamed.
class MemoryFiles : public rotation::Files {
 public:
  bool Exists(const std::string& name) override { return files.count(name) != 0; }
  bool Remove(const std::string& name) override {
    if (locked.count(name) || !files.count(name)) return false;
    files.erase(name);
    return true;
  }
  bool Rename(const std::string& from, const std::string& to) override {
    if (locked.count(from) || !files.count(from) || files.count(to)) return false;
    files[to] = files[from];
    files.erase(from);
    return true;
  }
  std::map<std::string, std::string> files;
  std::set<std::string> locked;
};

struct RotateCase {
  const char* what;
  std::map<std::string, std::string> before;
  uint32_t keep;
  std::set<std::string> locked;
  bool ok;
  std::string failedFrom;
  std::string failedTo;
  std::map<std::string, std::string> after;
};

TEST(RotationRule, RotateShiftsTheOlderFilesAndDropsTheOnePastKeep) {
  const std::vector<RotateCase> cases = {
      {"first rotation", {{"run.log", "A"}}, 5, {}, true, "", "", {{"run.1.log", "A"}}},
      {"shifts every older file",
       {{"run.log", "C"}, {"run.1.log", "B"}, {"run.2.log", "A"}},
       5,
       {},
       true,
       "",
       "",
       {{"run.1.log", "C"}, {"run.2.log", "B"}, {"run.3.log", "A"}}},
      {"the one past keep is deleted",
       {{"run.log", "D"}, {"run.1.log", "C"}, {"run.2.log", "B"}, {"run.3.log", "A"}},
       3,
       {},
       true,
       "",
       "",
       {{"run.1.log", "D"}, {"run.2.log", "C"}, {"run.3.log", "B"}}},
      {"a gap is not filled", {{"run.log", "B"}, {"run.3.log", "A"}}, 5, {}, true, "", "",
       {{"run.1.log", "B"}, {"run.4.log", "A"}}},
      {"older files past keep are left alone", {{"run.log", "B"}, {"run.7.log", "X"}}, 2, {}, true, "", "",
       {{"run.1.log", "B"}, {"run.7.log", "X"}}},
      {"keep 0 removes the file", {{"run.log", "A"}, {"run.1.log", "X"}}, 0, {}, true, "", "",
       {{"run.1.log", "X"}}},
      {"the current file held open: nothing lost, the older files shifted",
       {{"run.log", "B"}, {"run.1.log", "A"}},
       5,
       {"run.log"},
       false,
       "run.log",
       "run.1.log",
       {{"run.log", "B"}, {"run.2.log", "A"}}},
      {"an older file held open",
       {{"run.log", "C"}, {"run.1.log", "B"}, {"run.2.log", "A"}},
       5,
       {"run.1.log"},
       false,
       "run.1.log",
       "run.2.log",
       {{"run.log", "C"}, {"run.1.log", "B"}, {"run.3.log", "A"}}},
      {"the last one held open", {{"run.log", "B"}, {"run.1.log", "A"}}, 1, {"run.1.log"}, false, "run.1.log", "",
       {{"run.log", "B"}, {"run.1.log", "A"}}},
  };
  for (const RotateCase& c : cases) {
    MemoryFiles files;
    files.files = c.before;
    files.locked = c.locked;
    const rotation::Outcome outcome = rotation::Rotate(files, "run.log", c.keep);
    EXPECT_EQ(outcome.ok, c.ok) << c.what;
    EXPECT_EQ(outcome.from, c.failedFrom) << c.what;
    EXPECT_EQ(outcome.to, c.failedTo) << c.what;
    EXPECT_EQ(files.files, c.after) << c.what;
  }
}

}  // namespace
