// DebugOutputQueue: bounds and the drop notice of captured debug output.
#include "receiving/debug_output_queue.h"

#include <utility>

#include "receiving/byte_bound.h"

void DebugOutputQueue::QueueDropNotice() {
  DebugMessage notice;
  notice.dropNotice = true;
  notice.text = "<< " + std::to_string(pendingDrops_) + " debug messages dropped >>\n";
  // Outside the bounds: it stands for the messages that were not kept.
  entries_.push_back(std::move(notice));
  pendingDrops_ = 0;
}

bool DebugOutputQueue::Push(DebugMessage message) {
  const std::size_t bytes = message.text.size() + message.sender.size();
  if (entries_.size() >= maxMessages_ || !FitsWithin(bytes_, bytes, maxBytes_)) {
    ++pendingDrops_;
    ++droppedTotal_;
    return false;
  }
  if (pendingDrops_ != 0) QueueDropNotice();
  bytes_ += bytes;
  entries_.push_back(std::move(message));
  return true;
}

bool DebugOutputQueue::Pop(DebugMessage& out) {
  if (entries_.empty()) {
    if (pendingDrops_ == 0) return false;
    QueueDropNotice();
  }
  out = std::move(entries_.front());
  entries_.pop_front();
  if (!out.dropNotice) bytes_ -= out.text.size() + out.sender.size();
  return true;
}
