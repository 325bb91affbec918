// What a sender's datagram numbers tell: losses forward, a new count backwards, across wrap-around.
#include "receiving/sequence_tracker.h"

#include <gtest/gtest.h>

#include "receiving/message.h"
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

// A sender's overflow notice announces that its next datagram is cut; a datagram that arrived but
// could not be read is told as unreadable, and not once more as a loss of whoever sent it.
TEST(SequenceTracker, CutsFollowTheirNoticeAndUnreadDatagramsAreNoLoss) {
  SequenceTracker tracker;
  const struct {
    const char* name;
    int unread;  // datagrams that arrived unread before this one
    uint32_t processId;
    uint32_t sequence;
    bool notice;
    Seen seen;
    uint32_t lost;
    bool cut;
  } steps[] = {
      {"a message", 0, 10, 0, false, Seen::kFirst, 0, false},
      {"its overflow notice", 0, 10, 1, true, Seen::kInOrder, 0, false},
      {"the cut message after it", 0, 10, 2, false, Seen::kInOrder, 0, true},
      {"the next one is whole again", 0, 10, 3, false, Seen::kInOrder, 0, false},
      {"a notice whose message was lost", 0, 10, 4, true, Seen::kInOrder, 0, false},
      {"the one after the loss was not announced", 0, 10, 6, false, Seen::kAfterLoss, 1, false},
      {"another sender's notice", 0, 20, 0, true, Seen::kFirst, 0, false},
      {"does not cut the first sender's message", 0, 10, 7, false, Seen::kInOrder, 0, false},
      {"but its own", 0, 20, 1, false, Seen::kInOrder, 0, true},
      {"one unread datagram stands for the gap", 1, 10, 9, false, Seen::kAfterLoss, 0, false},
      {"and is not counted again", 0, 10, 11, false, Seen::kAfterLoss, 1, false},
      {"two unread, three missing: one lost", 2, 20, 5, false, Seen::kAfterLoss, 1, false},
  };
  for (const auto& step : steps) {
    for (int i = 0; i < step.unread; ++i) tracker.ArrivedUnread();
    const SequenceTracker::Observation seen = tracker.Observe(step.processId, step.sequence, step.notice);
    EXPECT_EQ(seen.seen, step.seen) << step.name;
    EXPECT_EQ(seen.lost, step.lost) << step.name;
    EXPECT_EQ(seen.cut, step.cut) << step.name;
  }
  // Without sender records the notice announces the next datagram without one.
  EXPECT_FALSE(tracker.ObserveUnnamed(false));
  EXPECT_FALSE(tracker.ObserveUnnamed(true));
  EXPECT_TRUE(tracker.ObserveUnnamed(false));
  EXPECT_FALSE(tracker.ObserveUnnamed(false));
}

TEST(MessageText, DebugOutputAlwaysShowsItsSenderTellitTextWhenAskedNoticesNever) {
  const struct {
    const char* name;
    MessageKind kind;
    MessageSource source;
    bool known, senders, shows;
  } cases[] = {
      {"debug output", MessageKind::kText, MessageSource::kDebugOutput, true, false, true},
      {"global debug output", MessageKind::kText, MessageSource::kDebugOutputGlobal, true, false, true},
      {"a notice of global debug output", MessageKind::kNotice, MessageSource::kDebugOutputGlobal, true, true, false},
      {"tellit text, senders off", MessageKind::kText, MessageSource::kTellit, true, false, false},
      {"tellit text, senders on", MessageKind::kText, MessageSource::kTellit, true, true, true},
      {"no sender known", MessageKind::kText, MessageSource::kTellit, false, true, false},
      {"a loss", MessageKind::kLost, MessageSource::kTellit, true, true, false},
      {"a notice", MessageKind::kNotice, MessageSource::kDebugOutput, true, true, false},
  };
  for (const auto& c : cases) {
    Message message;
    message.kind = c.kind;
    message.source = c.source;
    message.hasProcessId = c.known;
    EXPECT_EQ(message_text::ShowsSender(message, c.senders), c.shows) << c.name;
  }
}

TEST(MessageText, PrefixAndNoticesInTheFormsShown) {
  EXPECT_EQ(message_text::SenderPrefix(1234, "app.exe"), "[1234 app.exe] ");
  EXPECT_EQ(message_text::SenderPrefix(1234, ""), "[1234] ");
  EXPECT_EQ(message_text::LossNotice(3, 1234, "app.exe"), "<< 3 messages from [1234 app.exe] were lost >>\n");
  EXPECT_EQ(message_text::LossNotice(1, 77, ""), "<< 1 messages from [77] were lost >>\n");
  EXPECT_EQ(message_text::UnreadableNotice(70000), "<< a message of 70000 bytes could not be read >>\n");
  EXPECT_EQ(message_text::CutNotice(1048575, 524288), "<< a message of 1048575 bytes was cut to 524288 bytes >>\n");
  EXPECT_EQ(message_text::CutNotice(70000, 65511, 42, "app.exe"),
            "<< a message of 70000 bytes from [42 app.exe] was cut to 65511 bytes >>\n");
  EXPECT_EQ(message_text::CutNotice(9, 8, 7, ""), "<< a message of 9 bytes from [7] was cut to 8 bytes >>\n");
  const struct {
    uint32_t processId;
    const char* program;
    size_t length;
  } prefixes[] = {{0, "", 4}, {9, "a", 6}, {10, "", 5}, {4294967295u, "my app.exe", 24}};
  for (const auto& p : prefixes) {
    EXPECT_EQ(message_text::SenderPrefixLength(p.processId, p.program), p.length) << p.processId;
    EXPECT_EQ(message_text::SenderPrefix(p.processId, p.program).size(), p.length) << p.processId;
  }
}

}  // namespace
