// tellitcap's output buffer on a clock of the test's own: written once its oldest message has
// waited the flush period or once it is large, everything at a stop, nothing before.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "capture/output_sink.h"
#include "support/scratch_dir.h"

namespace {

uint64_t fakeNow = 0;
uint64_t FakeClock() { return fakeNow; }

void Append(capture::OutputSink& sink, const std::string& text) {
  sink.BeginMessage();
  sink.pending() += text;
  ASSERT_TRUE(sink.EndMessage());
}

TEST(OutputSink, PendingOutputIsWrittenOnceItsOldestMessageHasWaitedThePeriod) {
  ScratchDir dir;
  capture::OutputSink sink;
  sink.SetClock(FakeClock);
  ASSERT_TRUE(sink.OpenFile(dir.File("out").c_str()));
  const std::string out = dir.File("out");
  fakeNow = 1000;
  Append(sink, "a\r\n");
  fakeNow = 1030;
  Append(sink, "b\r\n");  // joins the pending bytes: their age is the first one's
  ASSERT_TRUE(sink.FlushIfDue());
  EXPECT_EQ(ReadWholeFile(out), "") << "not due yet: one write for many messages";
  EXPECT_EQ(sink.DueIn(16), 16u);
  fakeNow = 1045;
  EXPECT_EQ(sink.DueIn(16), 5u) << "the caller's wait ends when the first message falls due";
  fakeNow = 1000 + sink.rule.periodMs;
  ASSERT_TRUE(sink.FlushIfDue());
  EXPECT_EQ(ReadWholeFile(out), "a\r\nb\r\n");
  EXPECT_EQ(sink.DueIn(16), 16u) << "nothing pending";

  fakeNow = 5000;
  Append(sink, "c\r\n");  // its own period starts with it
  fakeNow = 5000 + sink.rule.periodMs - 1;
  ASSERT_TRUE(sink.FlushIfDue());
  EXPECT_EQ(ReadWholeFile(out), "a\r\nb\r\n");
  ASSERT_TRUE(sink.Flush()) << "a stop writes everything at once";
  EXPECT_EQ(ReadWholeFile(out), "a\r\nb\r\nc\r\n");
}

TEST(OutputSink, ALargeBurstIsWrittenAtOnce) {
  ScratchDir dir;
  capture::OutputSink sink;
  sink.SetClock(FakeClock);
  ASSERT_TRUE(sink.OpenFile(dir.File("out").c_str()));
  fakeNow = 1000;
  const std::string line(1000, 'x');
  std::size_t appended = 0;
  while (appended + line.size() < sink.rule.largeBytes) {
    Append(sink, line);
    appended += line.size();
  }
  ASSERT_TRUE(sink.FlushIfDue());
  EXPECT_EQ(ReadWholeFile(dir.File("out")).size(), 0u);
  Append(sink, line);
  ASSERT_TRUE(sink.FlushIfDue());
  EXPECT_EQ(ReadWholeFile(dir.File("out")).size(), appended + line.size()) << "no time passed";
}

}  // namespace
