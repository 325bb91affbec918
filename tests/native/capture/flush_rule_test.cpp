// When tellitcap's buffered output is due: by its size or by the age of its oldest message.
#include <gtest/gtest.h>

#include "capture/flush_rule.h"

namespace {

TEST(FlushRule, DueByBytesOrByTheOldestMessagesAgeAndTheWaitStopsThere) {
  const capture::FlushRule rule;  // 64 KiB, 50 ms
  const struct {
    const char* name;
    std::size_t pending;
    uint64_t since, now;
    bool due;
    uint64_t waitAtMost;  // with 16 ms the longest the caller would wait
  } cases[] = {
      {"nothing pending is never due", 0, 0, 100000, false, 16},
      {"just begun", 10, 1000, 1000, false, 16},
      {"close to the period: the wait ends when it falls due", 10, 1000, 1040, false, 10},
      {"one millisecond short", 10, 1000, 1049, false, 1},
      {"at the period", 10, 1000, 1050, true, 0},
      {"long past the period", 10, 1000, 9000, true, 0},
      {"a large write at once", 64 * 1024, 1000, 1000, true, 0},
      {"one byte short of a large write", 64 * 1024 - 1, 1000, 1001, false, 16},
      {"the clock's wrap", 10, ~uint64_t{0} - 10, 40, true, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rule.Due(c.pending, c.since, c.now), c.due) << c.name;
    EXPECT_EQ(rule.WaitAtMost(c.pending, c.since, c.now, 16), c.waitAtMost) << c.name;
  }
}

TEST(FlushRule, ACallerThatWaitsWhatTheRuleAllowsWritesEveryMessageWithinAHundredMilliseconds) {
  const capture::FlushRule rule;
  EXPECT_LE(rule.periodMs, 100u);
  for (uint64_t age = 0; age <= 200; ++age) {
    const uint64_t back = age + rule.WaitAtMost(1, 0, age, 1000);
    EXPECT_TRUE(rule.Due(1, 0, back)) << age;
    EXPECT_EQ(back, age > rule.periodMs ? age : rule.periodMs) << age;
  }
}

}  // namespace
