// CaptureSession: opening the channel, the capture loop and its orderly end.
#include "capture/capture_session.h"

#include <string>

#include "capture/record_format.h"

namespace capture {

namespace {

// Entries taken from one source before the other gets its turn, so that a flood on the mailslot
// never leaves debug output waiting (its queue is bounded) and the other way round.
constexpr int kBatch = 1000;
// While both sources are empty the loop waits this long at first, doubling up to the longest
// wait: a burst is met within a millisecond, an idle capture wakes only some 60 times a second.
// A writer blocks (never loses) while the mailslot is full, so a late wake costs no message.
constexpr DWORD kFirstIdleWaitMs = 1;
constexpr DWORD kLongestIdleWaitMs = 16;

UtcTime Now() {
  SYSTEMTIME now = {};
  GetSystemTime(&now);
  UtcTime time;
  time.year = now.wYear;
  time.month = now.wMonth;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  time.millisecond = now.wMilliseconds;
  return time;
}

}  // namespace

CaptureSession::Outcome CaptureSession::Open(bool debugOutput) {
  if (!mailslot_.Open()) {
    error_ = GetLastError();
    return error_ == ERROR_ALREADY_EXISTS ? Outcome::kMailslotInUse : Outcome::kMailslotFailed;
  }
  if (debugOutput) {
    switch (debugOutput_.Start()) {
      case DebugOutputSource::StartResult::kStarted:
        break;
      case DebugOutputSource::StartResult::kInUse:
        error_ = ERROR_ALREADY_EXISTS;
        Close();
        return Outcome::kDebugOutputInUse;
      case DebugOutputSource::StartResult::kFailed:
        error_ = GetLastError();
        Close();
        return Outcome::kDebugOutputFailed;
    }
  }
  return Outcome::kStopped;
}

void CaptureSession::Close() {
  mailslot_.Close();
  debugOutput_.Stop();
}

void CaptureSession::WriteMessage(Source source, bool hasProcessId, uint32_t processId, const char* text,
                                  std::size_t length) {
  if (json_) {
    CapturedMessage message;
    message.time = Now();
    message.source = source;
    message.hasProcessId = hasProcessId;
    message.processId = processId;
    message.text = text;
    message.length = length;
    AppendJsonLine(sink_.pending(), message, decoder_);
  } else {
    AppendPlainText(sink_.pending(), text, length);
  }
}

int CaptureSession::DrainMailslot(int batch, Outcome& failure) {
  int taken = 0;
  while (taken < batch && !LimitReached()) {
    switch (mailslot_.Next()) {
      case MailslotSource::Result::kMessage:
        // An empty datagram is a message too: a JSON line with an empty text, nothing in text form.
        WriteMessage(Source::kTellit, false, 0, reinterpret_cast<const char*>(mailslot_.text()), mailslot_.length());
        ++received_;
        ++taken;
        break;
      case MailslotSource::Result::kSkipped: {
        // Said where it happened, as the monitor does; a notice is no message and does not count.
        const std::string notice =
            "<< a message of " + std::to_string(mailslot_.skippedSize()) + " bytes could not be read >>\n";
        WriteMessage(Source::kTellit, false, 0, notice.data(), notice.size());
        ++taken;
        break;
      }
      case MailslotSource::Result::kEmpty:
      case MailslotSource::Result::kWait:
        return taken;
      case MailslotSource::Result::kBroken:
        // The handle no longer answers: create the mailslot again, as the monitor does.
        mailslot_.Close();
        if (!mailslot_.Open()) {
          error_ = GetLastError();
          failure = error_ == ERROR_ALREADY_EXISTS ? Outcome::kMailslotInUse : Outcome::kMailslotFailed;
        }
        return taken;
    }
  }
  return taken;
}

int CaptureSession::DrainDebugOutput(int batch) {
  int taken = 0;
  DebugMessage message;
  while (taken < batch && !LimitReached() && debugOutput_.Next(message)) {
    ++taken;
    if (message.dropNotice) {
      WriteMessage(Source::kDebugOutput, false, 0, message.text.data(), message.text.size());
      continue;
    }
    ++received_;
    if (json_) {
      WriteMessage(Source::kDebugOutput, true, message.processId, message.text.data(), message.text.size());
    } else {
      const std::string shown = message.Shown();  // "[pid sender] text", as the monitor shows it
      WriteMessage(Source::kDebugOutput, true, message.processId, shown.data(), shown.size());
    }
  }
  return taken;
}

CaptureSession::Outcome CaptureSession::Run(const Limits& limits, HANDLE stop) {
  countLimit_ = limits.count;
  const ULONGLONG start = GetTickCount64();
  Outcome outcome = Outcome::kStopped;
  DWORD idleWait = kFirstIdleWaitMs;
  while (outcome == Outcome::kStopped && !LimitReached()) {
    if (WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) break;
    const ULONGLONG elapsed = GetTickCount64() - start;
    if (limits.milliseconds != 0 && elapsed >= limits.milliseconds) break;

    int taken = DrainMailslot(kBatch, outcome);
    if (debugOutput_.IsRunning()) {
      taken += DrainDebugOutput(kBatch);
      if (debugOutput_.Failed()) {
        error_ = debugOutput_.FailureCode();
        outcome = Outcome::kDebugOutputFailed;
      }
    }
    if (!sink_.FlushIfLarge()) outcome = Outcome::kOutputFailed;
    if (taken != 0 || outcome != Outcome::kStopped || LimitReached()) {
      idleWait = kFirstIdleWaitMs;
      continue;
    }
    // Both sources are empty: write what the burst left, then wait a little.
    if (!sink_.Flush()) {
      outcome = Outcome::kOutputFailed;
      continue;
    }
    DWORD wait = idleWait;
    if (limits.milliseconds != 0 && limits.milliseconds - elapsed < wait) {
      wait = static_cast<DWORD>(limits.milliseconds - elapsed);
    }
    WaitForSingleObject(stop, wait);
    idleWait = idleWait * 2 > kLongestIdleWaitMs ? kLongestIdleWaitMs : idleWait * 2;
  }
  // A stop or the time limit: what was queued by then is taken too (one batch covers a full
  // mailslot), so a message sent just before Ctrl+C is not left unread.
  if (outcome == Outcome::kStopped && !LimitReached()) {
    DrainMailslot(kBatch, outcome);
    if (debugOutput_.IsRunning()) DrainDebugOutput(kBatch);
  }
  // Whatever ended the loop, what was received is written before the channel closes.
  if (!sink_.Flush() && outcome == Outcome::kStopped) outcome = Outcome::kOutputFailed;
  Close();
  return outcome;
}

}  // namespace capture
