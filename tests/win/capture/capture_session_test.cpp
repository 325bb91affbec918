// A capture session in the test's own process: what it does when its mailslot handle breaks,
// when the output cannot be written, with empty datagrams, and with messages queued at a stop.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "code_page/ansi_code_page_decoder.h"
#include "capture/capture_session.h"
#include "support/monitor_process.h"
#include "support/recorded_stream.h"
#include "support/scratch_dir.h"

namespace {

using capture::CaptureSession;
using Outcome = CaptureSession::Outcome;

class CaptureSessionTest : public ::testing::Test {
 protected:
  std::string Written() const { return ReadWholeFile(dir.File("out")); }
  CaptureSession::Limits Limits(uint64_t count, uint64_t milliseconds = 10000) const {
    CaptureSession::Limits limits;
    limits.count = count;
    limits.milliseconds = milliseconds;
    return limits;
  }

  ScratchDir dir;
  code_page::AnsiCodePageDecoder decoder;
  capture::OutputSink sink;
  scoped::Handle stop{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

TEST_F(CaptureSessionTest, ABrokenMailslotHandleIsReplacedByANewMailslot) {
  ASSERT_TRUE(sink.OpenFile(dir.File("out").c_str()));
  CaptureSession session(sink, decoder, false);
  ASSERT_EQ(session.Open(false), Outcome::kStopped);
  // A handle that is no mailslot: the next read finds it broken. The old mailslot goes with it.
  session.mailslot().Replace(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  std::thread sender([] {
    if (WaitUntil(MailslotExists, 5000)) SendToMonitor("after the break\n");
  });
  EXPECT_EQ(session.Run(Limits(1), stop.get()), Outcome::kStopped);
  sender.join();
  EXPECT_EQ(session.received(), 1u);
  EXPECT_EQ(Written(), "after the break\r\n");
}

TEST_F(CaptureSessionTest, AnOutputThatCannotBeWrittenEndsTheRunAndClosesTheChannel) {
  WriteWholeFile(dir.File("out"), "");
  const HANDLE readOnly = CreateFileA(dir.File("out").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(readOnly, INVALID_HANDLE_VALUE);
  sink.Adopt(readOnly, true);
  CaptureSession session(sink, decoder, false);
  ASSERT_EQ(session.Open(false), Outcome::kStopped);
  ASSERT_TRUE(SendToMonitor("cannot be written\n"));
  EXPECT_EQ(session.Run(Limits(0), stop.get()), Outcome::kOutputFailed);
  EXPECT_NE(sink.error(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(MailslotExists());
}

TEST_F(CaptureSessionTest, AnEmptyDatagramCountsAndIsAJsonLineWithAnEmptyText) {
  for (const bool json : {false, true}) {
    WriteWholeFile(dir.File("out"), "");
    capture::OutputSink output;
    ASSERT_TRUE(output.OpenFile(dir.File("out").c_str()));
    CaptureSession session(output, decoder, json);
    ASSERT_EQ(session.Open(false), Outcome::kStopped);
    ASSERT_TRUE(SendToMonitor(""));
    ASSERT_TRUE(SendToMonitor("x"));
    EXPECT_EQ(session.Run(Limits(2), stop.get()), Outcome::kStopped);
    EXPECT_EQ(session.received(), 2u);
    const std::string written = Written();
    if (json) {
      EXPECT_NE(written.find("\"source\":\"tellit\",\"text\":\"\"}\n{"), std::string::npos) << written;
      EXPECT_EQ(written.substr(written.size() - 12), "\"text\":\"x\"}\n") << written;
    } else {
      EXPECT_EQ(written, "x");
    }
  }
}

TEST_F(CaptureSessionTest, MessagesQueuedWhenTheStopComesAreWrittenToo) {
  ASSERT_TRUE(sink.OpenFile(dir.File("out").c_str()));
  CaptureSession session(sink, decoder, false);
  ASSERT_EQ(session.Open(false), Outcome::kStopped);
  for (const char* text : {"one\n", "two\n", "three\n"}) ASSERT_TRUE(SendToMonitor(text));
  SetEvent(stop.get());
  EXPECT_EQ(session.Run(Limits(0), stop.get()), Outcome::kStopped);
  EXPECT_EQ(Written(), "one\r\ntwo\r\nthree\r\n");
  EXPECT_FALSE(MailslotExists());
}

// The message a sender cut after its overflow notice has no line end: it ends its line all the
// same, in the text form, so that the next message starts one of its own.
TEST_F(CaptureSessionTest, ACutMessageEndsItsLine) {
  ASSERT_TRUE(sink.OpenFile(dir.File("out").c_str()));
  CaptureSession session(sink, decoder, false);
  ASSERT_EQ(session.Open(false), Outcome::kStopped);
  for (const char* text : {"tellitf() string buffer overflow !!\n", "cut short", "next\n"}) ASSERT_TRUE(SendToMonitor(text));
  SetEvent(stop.get());
  EXPECT_EQ(session.Run(Limits(0), stop.get()), Outcome::kStopped);
  EXPECT_EQ(Written(), "tellitf() string buffer overflow !!\r\ncut short\r\nnext\r\n");
}

TEST_F(CaptureSessionTest, TheCountLeavesLaterMessagesUnreadAndTheTimeLimitEndsAnIdleRun) {
  ASSERT_TRUE(sink.OpenFile(dir.File("out").c_str()));
  CaptureSession session(sink, decoder, false);
  ASSERT_EQ(session.Open(false), Outcome::kStopped);
  for (const char* text : {"a\n", "b\n", "c\n"}) ASSERT_TRUE(SendToMonitor(text));
  EXPECT_EQ(session.Run(Limits(2), stop.get()), Outcome::kStopped);
  EXPECT_EQ(Written(), "a\r\nb\r\n");

  CaptureSession idle(sink, decoder, false);
  ASSERT_EQ(idle.Open(false), Outcome::kStopped) << "the first session released the mailslot";
  const DWORD start = GetTickCount();
  EXPECT_EQ(idle.Run(Limits(0, 300), stop.get()), Outcome::kStopped);
  const DWORD took = GetTickCount() - start;
  EXPECT_GE(took, 290u);
  EXPECT_LT(took, 5000u);
  EXPECT_EQ(idle.received(), 0u);
}

TEST_F(CaptureSessionTest, ASecondSessionFindsTheMailslotInUse) {
  CaptureSession first(sink, decoder, false);
  ASSERT_EQ(first.Open(false), Outcome::kStopped);
  CaptureSession second(sink, decoder, false);
  EXPECT_EQ(second.Open(false), Outcome::kMailslotInUse);
  EXPECT_EQ(second.error(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

// The recorded stream in tellitcap's text form, senders off and on: the bytes the monitor logged of
// it without stamps, as recorded before the monitor kept records, but for the monitor's notice of
// a cut message (tellitcap says "cut":true in its JSON form and nothing in the text form).
TEST_F(CaptureSessionTest, TheRecordedStreamIsWrittenAsTheMonitorLogsIt) {
  const std::string recording = ReadWholeFile(BinDirectory() + "\\recorded_stream.txt");
  ASSERT_FALSE(recording.empty()) << "no recording beside the test in " << BinDirectory();
  for (const bool senders : {false, true}) {
    const std::string heading = std::string("== senders ") + (senders ? "1" : "0") + ", stamps 0\n";
    const size_t from = recording.find(heading);
    ASSERT_NE(from, std::string::npos) << heading;
    const size_t begin = from + heading.size();
    std::string expected = recording.substr(begin, recording.find("== ", begin) - begin);
    const size_t notice = expected.find("<< a message of 5000 bytes");
    ASSERT_NE(notice, std::string::npos);
    expected.erase(notice, expected.find('\n', notice) + 1 - notice);
    const std::string out = dir.File(senders ? "named" : "plain");
    capture::OutputSink file;
    ASSERT_TRUE(file.OpenFile(out.c_str()));
    CaptureSession session(file, decoder, false, senders);
    ASSERT_EQ(session.Open(false), Outcome::kStopped);
    int n = 0;
    for (const Recorded& r : kStream) session.Take(r.AsMessage(n++));
    SetEvent(stop.get());
    EXPECT_EQ(session.Run(Limits(0), stop.get()), Outcome::kStopped);
    ResetEvent(stop.get());
    EXPECT_EQ(ReadWholeFile(out), expected) << "senders " << senders;
  }
}

// --time: the text form stamps every line as the monitor's log does, the sender's time where the
// message has one; the delta from the line before.
TEST_F(CaptureSessionTest, StampsInTheTextFormFollowTheMonitorsForms) {
  const struct {
    line_stamps::StampForm form;
    std::string expected;
  } cases[] = {
      {line_stamps::StampForm::kClock, "01:02:03.100 a\r\n01:02:03.300 b\r\n01:02:03.300 c\r\n"},
      {line_stamps::StampForm::kDelta, "     +0.000 a\r\n     +0.200 b\r\n     +0.000 c\r\n"},
  };
  for (const auto& c : cases) {
    const std::string out = dir.File("stamped" + std::to_string(int(c.form)));
    capture::OutputSink file;
    ASSERT_TRUE(file.OpenFile(out.c_str()));
    CaptureSession session(file, decoder, false);
    session.SetStamps({c.form, 0, false});
    ASSERT_EQ(session.Open(false), Outcome::kStopped);
    const Recorded a{"a\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false};
    const Recorded b{"b\nc\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false};
    session.Take(a.AsMessage(0));
    session.Take(b.AsMessage(200));  // sent 200 ms later
    SetEvent(stop.get());
    EXPECT_EQ(session.Run(Limits(0), stop.get()), Outcome::kStopped);
    ResetEvent(stop.get());
    EXPECT_EQ(ReadWholeFile(out), c.expected) << int(c.form);
  }
}

}  // namespace
