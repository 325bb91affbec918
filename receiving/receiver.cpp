// Receiver: the drain loops of both sources, the trailer's reading and the loss notice.
#include "receiving/receiver.h"

#include <string>

#include "channel/channel.h"
#include "receiving/message_text.h"

void Receiver::TakeNotice(MessageSink& sink, const std::string& text, uint64_t arrival) {
  Message notice;
  notice.kind = MessageKind::kNotice;
  notice.text = reinterpret_cast<const uint8_t*>(text.data());
  notice.length = text.size();
  notice.arrivalTime = arrival;
  // Either thread tells notices: each with an intake of its own.
  Utf8Intake intake(ansi_);
  intake.Decode(notice);
  sink.Take(notice);
}

void Receiver::TakeDatagram(MessageSink& sink) {
  Message message;
  message.text = mailslot_.text();
  message.length = mailslot_.length();
  message.arrivalTime = NowAsFileTime();
  const channel::SenderTrailer* trailer = mailslot_.trailer();
  if (mailslot_.textCut()) {
    // The text is what the datagram holds before its NUL and record, when it has them.
    const uint64_t record = trailer ? channel::kTrailerBytes + 1 : 0;
    message.cutFrom = mailslot_.datagramSize() - record;
    message.cut = true;
  }
  const bool overflowNotice = channel::IsOverflowNotice(message.text, message.length);
  mailslotIntake_.Decode(message, mailslot_.exactText());
  if (!trailer) {
    if (sequences_.ObserveUnnamed(overflowNotice)) message.cut = true;
    // Cut before its sender record: whoever sent it is not to report it lost as well.
    if (mailslot_.textCut()) sequences_.ArrivedUnread();
    sink.Take(message);
    return;
  }
  const SequenceTracker::Observation seen = sequences_.Observe(trailer->processId, trailer->sequence, overflowNotice);
  const bool sameProcess = seen.seen == SequenceTracker::Seen::kInOrder || seen.seen == SequenceTracker::Seen::kAfterLoss;
  message.hasProcessId = true;
  message.processId = trailer->processId;
  message.program = names_.NameOf(trailer->processId, sameProcess);
  message.hasTrailer = true;
  message.threadId = trailer->threadId;
  message.sequence = trailer->sequence;
  message.sentTime = trailer->sentTime;
  if (seen.cut) message.cut = true;
  if (seen.lost != 0) {
    // Told once, right before the next datagram of that process.
    const std::string text = message_text::LossNotice(seen.lost, trailer->processId, message.program);
    Message loss = message;
    loss.kind = MessageKind::kLost;
    loss.text = reinterpret_cast<const uint8_t*>(text.data());
    loss.length = text.size();
    // The program's name is in the ANSI code page; the message's own UTF-8 text stays as it is.
    Utf8Intake lossIntake(ansi_);
    lossIntake.Decode(loss);
    loss.lost = seen.lost;
    loss.cut = false;
    loss.cutFrom = 0;
    sink.Take(loss);
  }
  sink.Take(message);
}

namespace {

// The reading thread's sink: into the queue, waiting while it is full.
class QueueSink final : public MessageSink {
 public:
  explicit QueueSink(MessageQueue& queue) : queue_(queue) {}
  void Take(const Message& message) override { queue_.Push(message); }

 private:
  MessageQueue& queue_;
};

// While the mailslot is empty the thread looks again after this long at first, doubling up to
// the longest its owner chose: a burst is met within a millisecond.
constexpr unsigned kFirstIdleWaitMs = 1;
// Datagrams read before the thread looks whether it is to stop.
constexpr uint32_t kReadBatch = 1000;

}  // namespace

void Receiver::CloseMailslot() {
  StopReading();
  mailslot_.Close();
  sequences_.ForgetUnread();
}

bool Receiver::StartReading(HWND window, UINT wake, unsigned longestIdleWait) {
  if (thread_) return true;
  wakeWindow_ = window;
  wakeMessage_ = wake;
  longestIdleWait_ = longestIdleWait > kFirstIdleWaitMs ? longestIdleWait : kFirstIdleWaitMs;
  if (!mailslot_.IsOpen()) return false;
  stopping_ = false;
  broken_ = false;
  queue_.Open();
  thread_.reset(CreateThread(nullptr, 0, ReadThread, this, 0, nullptr));
  return static_cast<bool>(thread_);
}

void Receiver::StopReading() {
  if (!thread_) return;
  stopping_ = true;
  queue_.Close();  // wakes the thread from a full queue or an idle wait
  WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
  queue_.Open();
}

DWORD WINAPI Receiver::ReadThread(void* self) { return static_cast<Receiver*>(self)->ReadLoop(); }

DWORD Receiver::ReadLoop() {
  QueueSink sink(queue_);
  unsigned idleWait = kFirstIdleWaitMs;
  while (!stopping_) {
    DrainBudget budget(DrainLimits{kReadBatch, 0, 0}, TickMilliseconds);
    Drained drained = Drained::kEmpty;
    try {
      drained = ReadMailslot(sink, budget);
    } catch (...) {
      // The datagram in hand could not be copied (memory ran out): it is told as lost, and the
      // thread goes on after a pause, when memory may be there again.
      ++unkept_;
      ++unkeptTotal_;
      if (queue_.WaitClosed(longestIdleWait_)) break;
      continue;
    }
    if (drained == Drained::kBroken) {
      broken_ = true;
      return 0;
    }
    if (budget.taken() != 0 && idleWait == longestIdleWait_ && wakeWindow_) {
      PostMessageA(wakeWindow_, wakeMessage_, 0, 0);  // the first after a quiet spell: a tick now
    }
    if (drained == Drained::kBudget) {
      idleWait = kFirstIdleWaitMs;
      continue;
    }
    if (budget.taken() != 0) idleWait = kFirstIdleWaitMs;
    if (queue_.WaitClosed(idleWait)) break;
    idleWait = idleWait * 2 > longestIdleWait_ ? longestIdleWait_ : idleWait * 2;
  }
  return 0;
}

Receiver::Drained Receiver::DrainMailslot(MessageSink& sink, DrainBudget& budget) {
  if (const uint32_t unkept = unkept_.exchange(0)) TakeNotice(sink, message_text::UnkeptNotice(unkept), NowAsFileTime());
  // What the thread queued comes first, also once it has stopped: then the mailslot itself.
  QueuedMessage queued;
  while (budget.Left()) {
    if (batch_.empty() && !queue_.PopBatch(batch_, kReadBatch)) {
      if (!thread_) return ReadMailslot(sink, budget);
      return broken_ ? Drained::kBroken : Drained::kEmpty;
    }
    queued = std::move(batch_.front());
    batch_.pop_front();
    MessageQueue::Repoint(queued);
    budget.Spend(queued.message.length);
    sink.Take(queued.message);
  }
  return Drained::kBudget;
}

Receiver::Drained Receiver::ReadMailslot(MessageSink& sink, DrainBudget& budget) {
  while (budget.Left()) {
    switch (mailslot_.Next()) {
      case MailslotSource::Result::kMessage:
        budget.Spend(mailslot_.bytesRead());
        TakeDatagram(sink);
        break;
      case MailslotSource::Result::kSkipped:
        budget.Spend(0);
        sequences_.ArrivedUnread();  // told here, and not again as a loss of its sender
        TakeNotice(sink, message_text::UnreadableNotice(mailslot_.skippedSize()), NowAsFileTime());
        break;
      case MailslotSource::Result::kEmpty:
      case MailslotSource::Result::kWait:
        return Drained::kEmpty;
      case MailslotSource::Result::kBroken:
        return Drained::kBroken;
    }
  }
  return Drained::kBudget;
}

bool Receiver::TakeDebugMessage(DebugOutputSource& listener, MessageSource source, MessageSink& sink,
                                DrainBudget& budget) {
  DebugMessage captured;
  if (!listener.Next(captured)) return false;
  budget.Spend(captured.text.size());
  Message message;
  message.source = source;
  message.text = reinterpret_cast<const uint8_t*>(captured.text.data());
  message.length = captured.text.size();
  message.arrivalTime = captured.arrivalTime;
  drainIntake_.Decode(message);
  if (captured.dropNotice) {
    message.kind = MessageKind::kNotice;
  } else {
    message.hasProcessId = true;
    message.processId = captured.processId;
    message.program = captured.sender;
  }
  sink.Take(message);
  return true;
}

Receiver::Drained Receiver::DrainDebugOutput(MessageSink& sink, DrainBudget& budget) {
  // In turn, so that a flood on one listener never leaves the other's bounded queue to overflow.
  bool session = true;
  bool global = true;
  while (budget.Left()) {
    if (session) session = TakeDebugMessage(debugOutput_, MessageSource::kDebugOutput, sink, budget);
    if (global && budget.Left()) {
      global = TakeDebugMessage(globalDebugOutput_, MessageSource::kDebugOutputGlobal, sink, budget);
    }
    if (!session && !global) return Drained::kEmpty;
  }
  return Drained::kBudget;
}
