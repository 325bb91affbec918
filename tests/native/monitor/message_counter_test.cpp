// The status bar's counts: messages since start or All Erase, and the rate over the last second,
// across slot edges, pauses and the tick count's wrap.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "monitor/app/message_counter.h"

namespace {

struct Arrival {
  uint32_t time;
  uint32_t messages;
};

struct RateCase {
  const char* name;
  std::vector<Arrival> arrivals;
  uint32_t asked;
  uint32_t rate;
};

void Feed(MessageCounter& counter, const std::vector<Arrival>& arrivals) {
  for (const Arrival& a : arrivals) {
    for (uint32_t i = 0; i < a.messages; ++i) counter.Add(a.time);
  }
}

TEST(MessageCounter, RateCountsTheLastSecond) {
  const uint32_t wrap = 0xFFFFFFFFu;
  const RateCase cases[] = {
      {"nothing received", {}, 5000, 0},
      {"a burst just now", {{1000, 300}}, 1000, 300},
      {"a burst 999 ms ago still counts", {{1000, 300}}, 1999, 300},
      {"a burst a second ago is gone", {{1000, 300}}, 2000, 0},
      {"spread over one slot", {{1000, 1}, {1020, 1}, {1049, 1}}, 1049, 3},
      {"a slot is counted from its first message", {{1000, 1}, {1049, 1}}, 2000, 0},
      {"messages older than 950 ms leave with their slot", {{1000, 2}, {1060, 5}}, 2010, 5},
      {"across the tick count's wrap", {{wrap - 100, 4}, {wrap - 10, 6}, {20, 7}}, 30, 17},
      {"after the wrap the old slots leave in time", {{wrap - 100, 4}, {20, 7}}, 950, 7},
      {"a pause longer than the window", {{1000, 10}, {5000, 2}}, 5000, 2},
  };
  for (const RateCase& c : cases) {
    MessageCounter counter;
    Feed(counter, c.arrivals);
    EXPECT_EQ(counter.RatePerSecond(c.asked), c.rate) << c.name;
  }
  // A steady stream, 20 messages every 50 ms for two seconds: a window of 1000 ms holds 20 or 21
  // ticks' worth depending on where it falls; never the first second's.
  MessageCounter steady;
  for (uint32_t t = 10000; t < 12000; t += 50) Feed(steady, {{t, 20}});
  const uint32_t rate = steady.RatePerSecond(11950);
  EXPECT_GE(rate, 19u * 20u);
  EXPECT_LE(rate, 20u * 20u);
  EXPECT_EQ(steady.Total(), 40u * 20u);
}

TEST(MessageCounter, EraseStartsTheCountAgainButNotTheRate) {
  MessageCounter counter;
  Feed(counter, {{100, 5}, {200, 3}});
  EXPECT_EQ(counter.Total(), 8u);
  counter.ResetCount();
  EXPECT_EQ(counter.Total(), 0u);
  EXPECT_EQ(counter.RatePerSecond(250), 8u) << "what arrived in the last second still arrived";
  Feed(counter, {{300, 2}});
  EXPECT_EQ(counter.Total(), 2u);
  EXPECT_EQ(counter.RatePerSecond(300), 10u);
}

// Asking often must not change the answer, and a slot forgotten by an early question stays
// forgotten when the tick count comes round again.
TEST(MessageCounter, AskingForgetsOnlyOldSlots) {
  MessageCounter counter;
  Feed(counter, {{1000, 4}});
  for (uint32_t t = 1000; t < 1990; t += 50) EXPECT_EQ(counter.RatePerSecond(t), 4u) << t;
  EXPECT_EQ(counter.RatePerSecond(2000), 0u);
  // 2^32 ms later the tick value 1001 comes back; the slot was forgotten, so it does not count.
  EXPECT_EQ(counter.RatePerSecond(1001), 0u);
}

// More slots than the ring holds: the oldest are overwritten only once they left the window.
TEST(MessageCounter, ManySlotsKeepTheWindowWhole) {
  MessageCounter counter;
  uint32_t expected = 0;
  for (uint32_t t = 0; t < 3000; t += 10) {
    counter.Add(t);
    if (t > 3000 - 10 - 950) ++expected;
  }
  const uint32_t rate = counter.RatePerSecond(2990);
  EXPECT_GE(rate, expected);
  EXPECT_LE(rate, 100u) << "at most a second of messages every 10 ms";
  EXPECT_EQ(counter.Total(), 300u);
}

}  // namespace
