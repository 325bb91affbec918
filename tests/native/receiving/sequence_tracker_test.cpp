// What a sender's datagram numbers tell: losses forward, a new count backwards, across wrap-around.
#include "receiving/sequence_tracker.h"

#include <gtest/gtest.h>

#include "receiving/message_text.h"

namespace {

using Seen = SequenceTracker::Seen;

TEST(SequenceTracker, GapsAreLossesOnceAndStepsBackStartAnewCount) {
  SequenceTracker tracker;
  const struct {
    const char* name;
    uint32_t processId;
    uint32_t sequence;
    Seen seen;
    uint32_t lost;
  } steps[] = {
      {"a monitor started late: the first seen starts the count", 10, 500, Seen::kFirst, 0},
      {"the next one", 10, 501, Seen::kInOrder, 0},
      {"one failed write", 10, 503, Seen::kAfterLoss, 1},
      {"the gap told once", 10, 504, Seen::kInOrder, 0},
      {"another process keeps its own count", 20, 0, Seen::kFirst, 0},
      {"and its own gaps", 20, 5, Seen::kAfterLoss, 4},
      {"a reused process id starts at 0 again", 10, 0, Seen::kRestarted, 0},
      {"and goes on from there", 10, 1, Seen::kInOrder, 0},
      {"near the top of the count", 30, 0xFFFFFFFEu, Seen::kFirst, 0},
      {"the last number", 30, 0xFFFFFFFFu, Seen::kInOrder, 0},
      {"wraps to 0 in order", 30, 0, Seen::kInOrder, 0},
      {"a loss across the wrap", 31, 0xFFFFFFFFu, Seen::kFirst, 0},
      {"two lost across it", 31, 2, Seen::kAfterLoss, 2},
  };
  for (const auto& step : steps) {
    const SequenceTracker::Observation seen = tracker.Observe(step.processId, step.sequence);
    EXPECT_EQ(seen.seen, step.seen) << step.name;
    EXPECT_EQ(seen.lost, step.lost) << step.name;
  }
}

TEST(SequenceTracker, AFullTableStartsAfreshWithoutInventingLosses) {
  SequenceTracker tracker;
  for (uint32_t id = 0; id < SequenceTracker::kMaxProcesses; ++id) tracker.Observe(id, 0);
  EXPECT_EQ(tracker.Observe(1, 1).seen, Seen::kInOrder);
  EXPECT_EQ(tracker.Observe(999999, 0).seen, Seen::kFirst) << "the table was full: it starts afresh";
  EXPECT_EQ(tracker.Observe(1, 7).seen, Seen::kFirst) << "forgotten, so no loss of 5 is claimed";
}

TEST(MessageText, PrefixAndNoticesInTheFormsShown) {
  EXPECT_EQ(message_text::SenderPrefix(1234, "app.exe"), "[1234 app.exe] ");
  EXPECT_EQ(message_text::SenderPrefix(1234, ""), "[1234] ");
  EXPECT_EQ(message_text::LossNotice(3, 1234, "app.exe"), "<< 3 messages from [1234 app.exe] were lost >>\n");
  EXPECT_EQ(message_text::LossNotice(1, 77, ""), "<< 1 messages from [77] were lost >>\n");
  EXPECT_EQ(message_text::UnreadableNotice(70000), "<< a message of 70000 bytes could not be read >>\n");
  EXPECT_EQ(message_text::CutNotice(1048575, 524288), "<< a message of 1048575 bytes was cut to 524288 bytes >>\n");
}

}  // namespace
