// CaptureSession: opening the channel, the capture loop and its orderly end.
#include "capture/capture_session.h"

#include <cstdio>
#include <string>

#include "capture/record_format.h"
#include "capture/syslog_format.h"
#include "filtering/message_subject.h"
#include "receiving/line_ends.h"
#include "code_page/ansi_to_utf8.h"
#include "receiving/message_text.h"

namespace capture {

namespace {

// Entries taken from one source before the other gets its turn, so that a flood on the mailslot
// never leaves debug output waiting (its queue is bounded) and the other way round.
constexpr uint32_t kBatch = 1000;
// While both sources are empty the loop waits this long at first, doubling up to the longest
// wait: a burst is met within a millisecond, an idle capture wakes only some 60 times a second.
// A writer blocks (never loses) while the mailslot is full, so a late wake costs no message.
constexpr DWORD kFirstIdleWaitMs = 1;
constexpr DWORD kLongestIdleWaitMs = 16;
// With the mailslot read on a thread of its own, whose queue holds 50,000 messages, nothing
// waits for this loop: it looks less often and takes larger batches, leaving the CPU time to the
// reading thread and the writers.
constexpr DWORD kFirstIdleWaitOnThreadMs = 4;
// The reading thread, where it reads, looks again within 4 ms while nothing comes: a capture is
// no idle window, and a sender that ends quickly is still named.
constexpr unsigned kThreadIdleWaitMs = 4;

}  // namespace

CaptureSession::Outcome CaptureSession::Open(bool debugOutput, bool globalDebugOutput) {
  if (!receiver_.OpenMailslot()) {
    error_ = GetLastError();
    return error_ == ERROR_ALREADY_EXISTS ? Outcome::kMailslotInUse : Outcome::kMailslotFailed;
  }
  if (readOnThread) receiver_.StartReading(nullptr, 0, kThreadIdleWaitMs);
  if (debugOutput) {
    switch (receiver_.debugOutput().Start()) {
      case DebugOutputSource::StartResult::kStarted:
        break;
      case DebugOutputSource::StartResult::kInUse:
        error_ = ERROR_ALREADY_EXISTS;
        Close();
        return Outcome::kDebugOutputInUse;
      case DebugOutputSource::StartResult::kNoRight:
      case DebugOutputSource::StartResult::kFailed:
        error_ = receiver_.debugOutput().startError();
        Close();
        return Outcome::kDebugOutputFailed;
    }
  }
  if (globalDebugOutput) StartGlobalDebugOutput();
  return Outcome::kStopped;
}

void CaptureSession::StartGlobalDebugOutput() {
  // In session 0 the session's names are the global ones: its listener hears the services.
  if (DebugOutputSource::SessionIsGlobal()) return;
  DebugOutputSource& global = receiver_.globalDebugOutput();
  const DebugOutputSource::StartResult started = global.Start();
  const char* why = nullptr;
  switch (started) {
    case DebugOutputSource::StartResult::kStarted:
      return;
    case DebugOutputSource::StartResult::kInUse:
      why = "another program is capturing it";
      break;
    case DebugOutputSource::StartResult::kNoRight:
      why = "creating Global\\DBWIN_BUFFER needs the right to create global objects (SeCreateGlobalPrivilege: "
            "run as administrator or as a service)";
      break;
    case DebugOutputSource::StartResult::kFailed:
      why = "its objects could not be created";
      break;
  }
  std::fprintf(stderr, "tellitcap: the global debug output (services) is not captured: %s (error %lu); "
               "this session's debug output is\n", why, static_cast<unsigned long>(global.startError()));
  std::fflush(stderr);
}

void CaptureSession::StopFailedGlobalListener() {
  DebugOutputSource& global = receiver_.globalDebugOutput();
  const DWORD code = global.FailureCode();
  global.Stop();
  std::fprintf(stderr, "tellitcap: the global debug-output listener stopped (error %lu); this session's debug "
               "output is still captured\n", static_cast<unsigned long>(code));
  std::fflush(stderr);
}

void CaptureSession::Close() {
  receiver_.CloseMailslot();
  receiver_.debugOutput().Stop();
  receiver_.globalDebugOutput().Stop();
}

void CaptureSession::Take(const Message& message) {
  // The text after the line-end rule, as the monitor shows it: what the filters judge, and what
  // the text form writes. A cut text ends its line (a lead byte whose trail was cut goes first).
  text_.clear();
  const size_t length = message.cut ? codePage_.WholeCharacters(message.text, message.length) : message.length;
  AppendPlainText(text_, reinterpret_cast<const char*>(message.text), length);
  if (message.cut && !line_ends::EndsLine(reinterpret_cast<const uint8_t*>(text_.data()), text_.size())) text_ += "\r\n";
  utf8_.clear();
  AppendPlainText(utf8_, reinterpret_cast<const char*>(message.utf8), message.utf8Length);
  if (message.cut && !line_ends::EndsLine(reinterpret_cast<const uint8_t*>(utf8_.data()), utf8_.size())) utf8_ += "\r\n";
  filtering::FilterSubject subject = filtering::SubjectOf(message);
  subject.text = reinterpret_cast<const uint8_t*>(text_.data());
  subject.length = text_.size();
  if (filters_.Active() && !filters_.Decide(subject).shown) return;
  if (message.kind == MessageKind::kText) ++received_;  // a notice is no message and does not count
  sink_.BeginMessage();
  Append(message);
  if (!sink_.EndMessage()) outputFailed_ = true;
  if (syslog_) syslog_->Post(FormatSyslog(SyslogRecordOf(message, syslog_->hostname())));
  // A notice is no message: it never ends the run.
  if (until_.Active() && !subject.notice && until_.Decide(subject).shown) untilSeen_ = true;
}

void CaptureSession::Append(const Message& message) {
  if (json_) {
    CapturedMessage captured;
    captured.time = UtcFromFileTime(message.arrivalTime != 0 ? message.arrivalTime : NowAsFileTime());
    captured.source = message.source == MessageSource::kTellit        ? Source::kTellit
                      : message.source == MessageSource::kDebugOutput ? Source::kDebugOutput
                                                                      : Source::kDebugOutputGlobal;
    captured.hasProcessId = message.hasProcessId && message.kind != MessageKind::kNotice;
    captured.processId = message.processId;
    captured.hasSender = message.hasTrailer && message.kind == MessageKind::kText;
    captured.threadId = message.threadId;
    captured.sequence = message.sequence;
    captured.sent = UtcFromFileTime(message.sentTime);
    if (message.kind == MessageKind::kLost) captured.lost = message.lost;
    captured.cut = message.cut;
    // An empty datagram is a message too: a JSON line with an empty text.
    captured.text = reinterpret_cast<const char*>(message.utf8);
    captured.length = message.utf8Length;
    AppendJsonLine(sink_.pending(), captured);
    return;
  }
  // The text as the monitor shows it.
  std::string& out = sink_.pending();
  const size_t start = out.size();
  if (message_text::ShowsSender(message, senders_)) {
    const std::string prefix = message_text::SenderPrefix(message.processId, message.program);
    out += code_page::AnsiToUtf8(decoder_, prefix.data(), prefix.size());
  }
  out += utf8_;
  if (!stamps_) return;
  // Stamped where its lines begin, as the monitor's log: the sender's time or the arrival.
  const auto* shown = reinterpret_cast<const uint8_t*>(out.data() + start);
  const size_t shownLength = out.size() - start;
  if (stamper_.LinesBegun(shown, shownLength) == 0) {
    stamper_.Follow(shown, shownLength);
    return;
  }
  const uint64_t arrival = message.arrivalTime != 0 ? message.arrivalTime : NowAsFileTime();
  const uint64_t time = !stampStyle_.arrival && message.hasTrailer && message.sentTime != 0 ? message.sentTime : arrival;
  const uint64_t previous = lastStamp_ != 0 ? lastStamp_ : time;
  lastStamp_ = time;
  const line_stamps::MessageStamps stamp = line_stamps::StampsOf(stampStyle_, LocalClockOf(time), time, previous);
  stamped_.clear();
  stamper_.Stamp(shown, shownLength, stamp.first, stamp.rest, stamped_);
  out.resize(start);
  out.append(reinterpret_cast<const char*>(stamped_.data()), stamped_.size());
}

void CaptureSession::SetStamps(line_stamps::StampStyle style) {
  stamps_ = true;
  stampStyle_ = style;
  stampStyle_.origin = NowAsFileTime();
}

void CaptureSession::TellUnkept() {
  const uint64_t unkept = receiver_.unkept();
  if (unkept == unkeptTold_) return;
  // Also a notice in the output, where they would have been.
  std::fprintf(stderr, "tellitcap: %llu messages could not be kept: out of memory\n",
               static_cast<unsigned long long>(unkept - unkeptTold_));
  unkeptTold_ = unkept;
}

DrainLimits CaptureSession::BatchLimits(uint32_t batch) const {
  DrainLimits limits;
  limits.messages = batch;
  if (countLimit_ != 0 && countLimit_ - received_ < batch) limits.messages = static_cast<uint32_t>(countLimit_ - received_);
  return limits;
}

uint32_t CaptureSession::DrainMailslot(uint32_t batch, Outcome& failure) {
  uint32_t taken = 0;
  while (taken < batch && !LimitReached()) {
    DrainBudget budget(BatchLimits(batch - taken), TickMilliseconds);
    const Receiver::Drained drained = receiver_.DrainMailslot(*this, budget);
    taken += budget.taken();
    if (drained == Receiver::Drained::kEmpty) break;
    if (drained == Receiver::Drained::kBroken) {
      // The handle no longer answers: create the mailslot again, as the monitor does.
      receiver_.CloseMailslot();
      if (!receiver_.OpenMailslot()) {
        error_ = GetLastError();
        failure = error_ == ERROR_ALREADY_EXISTS ? Outcome::kMailslotInUse : Outcome::kMailslotFailed;
      } else if (readOnThread) {
        receiver_.StartReading(nullptr, 0, kThreadIdleWaitMs);
      }
      break;
    }
  }
  return taken;
}

uint32_t CaptureSession::DrainDebugOutput(uint32_t batch) {
  uint32_t taken = 0;
  while (taken < batch && !LimitReached()) {
    DrainBudget budget(BatchLimits(batch - taken), TickMilliseconds);
    const Receiver::Drained drained = receiver_.DrainDebugOutput(*this, budget);
    taken += budget.taken();
    if (drained != Receiver::Drained::kBudget) break;
  }
  return taken;
}

CaptureSession::Outcome CaptureSession::Run(const Limits& limits, HANDLE stop) {
  countLimit_ = limits.count;
  const ULONGLONG start = GetTickCount64();
  Outcome outcome = Outcome::kStopped;
  const DWORD firstIdleWait = readOnThread ? kFirstIdleWaitOnThreadMs : kFirstIdleWaitMs;
  DWORD idleWait = firstIdleWait;
  while (outcome == Outcome::kStopped && !LimitReached()) {
    if (WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) break;
    const ULONGLONG elapsed = GetTickCount64() - start;
    if (limits.milliseconds != 0 && elapsed >= limits.milliseconds) {
      timeRanOut_ = true;
      break;
    }

    uint32_t taken = DrainMailslot(kBatch, outcome);
    DebugOutputSource& listener = receiver_.debugOutput();
    if (listener.IsRunning() || receiver_.globalDebugOutput().IsRunning()) {
      taken += DrainDebugOutput(kBatch);
      if (listener.Failed()) {
        error_ = listener.FailureCode();
        outcome = Outcome::kDebugOutputFailed;
      }
      if (receiver_.globalDebugOutput().Failed()) StopFailedGlobalListener();
    }
    TellUnkept();
    // Written in large pieces, and what came is on its way at the latest a flush period later:
    // one write per message would cost the channel's speed.
    if (outputFailed_ || !sink_.FlushIfDue()) outcome = Outcome::kOutputFailed;
    if (taken != 0 || outcome != Outcome::kStopped || LimitReached()) {
      idleWait = firstIdleWait;
      continue;
    }
    // Both sources are empty: wait a little, never past the time the pending output falls due.
    DWORD wait = static_cast<DWORD>(sink_.DueIn(idleWait));
    if (limits.milliseconds != 0 && limits.milliseconds - elapsed < wait) {
      wait = static_cast<DWORD>(limits.milliseconds - elapsed);
    }
    WaitForSingleObject(stop, wait);
    idleWait = idleWait * 2 > kLongestIdleWaitMs ? kLongestIdleWaitMs : idleWait * 2;
  }
  // A stop or the time limit: what was queued by then is taken too (one batch covers a full
  // mailslot), so a message sent just before Ctrl+C is not left unread.
  if (outcome == Outcome::kStopped && !LimitReached()) {
    receiver_.StopReading();  // what it queued comes first, then what is still in the mailslot
    DrainMailslot(kBatch, outcome);
    if (receiver_.debugOutput().IsRunning() || receiver_.globalDebugOutput().IsRunning()) DrainDebugOutput(kBatch);
  }
  // Whatever ended the loop, what was received is written before the channel closes.
  if ((!sink_.Flush() || outputFailed_) && outcome == Outcome::kStopped) outcome = Outcome::kOutputFailed;
  Close();
  return outcome;
}

}  // namespace capture
