// DebugOutputQueue: bounds and the drop notice of captured debug output.
#include "receiving/debug_output_queue.h"

#include <utility>


void DebugOutputQueue::QueueDropNotice() {
  DebugMessage notice;
  notice.dropNotice = true;
  notice.text = "<< " + std::to_string(pendingDrops_) + " debug messages dropped >>\n";
  // Outside the bounds: it stands for the messages that were not kept.
  entries_.Keep(std::move(notice), 0);
  pendingDrops_ = 0;
}

bool DebugOutputQueue::Push(DebugMessage message) {
  const std::size_t bytes = message.text.size() + message.sender.size();
  if (!entries_.Fits(bytes)) {
    ++pendingDrops_;
    entries_.CountDropped();
    return false;
  }
  if (pendingDrops_ != 0) QueueDropNotice();
  entries_.Keep(std::move(message), bytes);
  return true;
}

bool DebugOutputQueue::Pop(DebugMessage& out) {
  if (entries_.empty()) {
    if (pendingDrops_ == 0) return false;
    QueueDropNotice();
  }
  out = entries_.PopFront();
  return true;
}
