// Receiver: the drain loops of both sources, the trailer's reading and the loss notice.
#include "receiving/receiver.h"

#include <string>

#include "channel/sender_trailer.h"
#include "receiving/message_text.h"

namespace {

void TakeNotice(MessageSink& sink, const std::string& text, uint64_t arrival) {
  Message notice;
  notice.kind = MessageKind::kNotice;
  notice.text = reinterpret_cast<const uint8_t*>(text.data());
  notice.length = text.size();
  notice.arrivalTime = arrival;
  sink.Take(notice);
}

}  // namespace

void Receiver::TakeDatagram(MessageSink& sink) {
  Message message;
  message.text = mailslot_.text();
  message.length = mailslot_.length();
  message.arrivalTime = NowAsFileTime();
  if (mailslot_.datagramSize() > mailslot_.bytesRead()) message.cutFrom = mailslot_.datagramSize();
  channel::SenderTrailer trailer;
  if (channel::ParseTrailer(mailslot_.text(), mailslot_.bytesRead(), trailer)) {
    const SequenceTracker::Observation seen = sequences_.Observe(trailer.processId, trailer.sequence);
    const bool sameProcess = seen.seen == SequenceTracker::Seen::kInOrder || seen.seen == SequenceTracker::Seen::kAfterLoss;
    message.hasProcessId = true;
    message.processId = trailer.processId;
    message.program = names_.NameOf(trailer.processId, sameProcess);
    message.hasTrailer = true;
    message.threadId = trailer.threadId;
    message.sequence = trailer.sequence;
    message.sentTime = trailer.sentTime;
    if (seen.lost != 0) {
      // Told once, right before the next datagram of that process.
      const std::string text = message_text::LossNotice(seen.lost, trailer.processId, message.program);
      Message loss = message;
      loss.kind = MessageKind::kLost;
      loss.text = reinterpret_cast<const uint8_t*>(text.data());
      loss.length = text.size();
      loss.lost = seen.lost;
      sink.Take(loss);
    }
  }
  sink.Take(message);
}

Receiver::Drained Receiver::DrainMailslot(MessageSink& sink, DrainBudget& budget) {
  while (budget.Left()) {
    switch (mailslot_.Next()) {
      case MailslotSource::Result::kMessage:
        budget.Spend(mailslot_.bytesRead());
        TakeDatagram(sink);
        break;
      case MailslotSource::Result::kSkipped:
        budget.Spend(0);
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

Receiver::Drained Receiver::DrainDebugOutput(MessageSink& sink, DrainBudget& budget) {
  DebugMessage captured;
  while (budget.Left()) {
    if (!debugOutput_.Next(captured)) return Drained::kEmpty;
    budget.Spend(captured.text.size());
    Message message;
    message.source = MessageSource::kDebugOutput;
    message.text = reinterpret_cast<const uint8_t*>(captured.text.data());
    message.length = captured.text.size();
    message.arrivalTime = captured.arrivalTime;
    if (captured.dropNotice) {
      message.kind = MessageKind::kNotice;
    } else {
      message.hasProcessId = true;
      message.processId = captured.processId;
      message.program = captured.sender;
    }
    sink.Take(message);
  }
  return Drained::kBudget;
}
