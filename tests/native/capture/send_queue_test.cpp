// The syslog queue's bounds (frames and bytes), its counts of dropped frames and of their runs,
// and the sender's waits between connection attempts.
#include "capture/send_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SendQueue, BoundsByFramesAndBytesAndCountsTheDrops) {
  constexpr int kPop = -1;  // a step that sends the oldest frame instead of pushing one
  const struct {
    const char* what;
    std::size_t maxFrames;
    std::size_t maxBytes;
    std::vector<int> steps;   // the size of each frame pushed, or kPop
    std::string kept;         // per push: 'k' kept, 'd' dropped
    std::size_t frames;       // queued at the end
    std::size_t bytes;
    uint64_t dropped;
    std::vector<uint64_t> toldRuns;  // the runs of drops told when a kept frame ended them
    uint64_t lastRun;                // the run still going at the end
  } cases[] = {
      {"the frame count bounds", 3, 1000, {10, 10, 10, 10, 10}, "kkkdd", 3, 30, 2, {}, 2},
      {"the byte count bounds", 100, 25, {10, 10, 10, 5}, "kkdk", 3, 25, 1, {1}, 0},
      {"a frame of exactly the room left fits", 100, 25, {20, 5, 1}, "kkd", 2, 25, 1, {}, 1},
      {"a frame larger than the bound, into an empty queue", 10, 25, {26, 25}, "dk", 1, 25, 1, {1}, 0},
      {"a huge frame into a nearly full queue", 10, 25, {24, 1000, 1}, "kdk", 2, 25, 1, {1}, 0},
      {"sending makes room again", 2, 100, {10, 10, 10, kPop, 10, 10}, "kkdkd", 2, 20, 2, {1}, 1},
      {"bytes are given back by sending", 100, 30, {20, 20, kPop, 20, 20}, "kdkd", 1, 20, 2, {1}, 1},
      {"two runs are told apart", 1, 100, {1, 1, 1, kPop, 1, 1, kPop, 1}, "kddkdk", 1, 1, 3, {2, 1}, 0},
      {"empty frames count for the frame bound", 2, 0, {0, 0, 0}, "kkd", 2, 0, 1, {}, 1},
  };
  for (const auto& c : cases) {
    capture::SendQueue queue(c.maxFrames, c.maxBytes);
    std::string kept;
    std::vector<uint64_t> told;
    for (const int step : c.steps) {
      if (step == kPop) {
        queue.Pop();
        continue;
      }
      kept += queue.Push(std::string(static_cast<std::size_t>(step), 'x')) ? 'k' : 'd';
      if (const uint64_t run = queue.TakeEndedRun()) told.push_back(run);
      EXPECT_LE(queue.bytes(), c.maxBytes) << c.what;
    }
    EXPECT_EQ(kept, c.kept) << c.what;
    EXPECT_EQ(queue.size(), c.frames) << c.what;
    EXPECT_EQ(queue.bytes(), c.bytes) << c.what;
    EXPECT_EQ(queue.droppedInAll(), c.dropped) << c.what;
    EXPECT_EQ(told, c.toldRuns) << c.what;
    EXPECT_EQ(queue.TakeRun(), c.lastRun) << c.what;
    EXPECT_EQ(queue.TakeDropped(), c.dropped) << c.what << ": the notice tells every drop";
  }
}

TEST(SendQueue, AFrameThatCannotBeSentIsDroppedAndToldInTheNotice) {
  capture::SendQueue queue(10, 100);
  ASSERT_TRUE(queue.Push("too large"));
  ASSERT_TRUE(queue.Push("next"));
  queue.DropFront();
  EXPECT_EQ(queue.front(), "next");
  EXPECT_EQ(queue.bytes(), 4u);
  EXPECT_EQ(queue.TakeDropped(), 1u);
  EXPECT_EQ(queue.droppedInAll(), 1u);
  EXPECT_EQ(queue.TakeRun(), 0u) << "not a run of a full queue";
}

TEST(SendQueue, DefaultBoundsAndTheSendersWaits) {
  EXPECT_EQ(capture::kSyslogQueueFrames, 10000u);
  EXPECT_EQ(capture::kSyslogQueueBytes, 16u * 1024 * 1024);
  capture::RetryDelay delay(capture::kSyslogFirstRetryMs, capture::kSyslogLongestRetryMs);
  std::vector<uint32_t> waits;
  for (int i = 0; i < 9; ++i) waits.push_back(delay.Next());
  EXPECT_EQ(waits, (std::vector<uint32_t>{100, 200, 400, 800, 1600, 3200, 5000, 5000, 5000}));
  delay.Reset();
  EXPECT_EQ(delay.Next(), 100u);
}

}  // namespace
