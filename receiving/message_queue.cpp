// MessageQueue: copies in, bounded waits, and the texts re-pointed on the way out.
#include "receiving/message_queue.h"

#include <chrono>
#include <utility>

bool MessageQueue::Push(const Message& message) {
  std::unique_lock<std::mutex> hold(lock_);
  const bool utf8IsText = message.utf8 == message.text || message.utf8 == nullptr;
  const std::size_t bytes = message.length + message.program.size() + (utf8IsText ? 0 : message.utf8Length);
  if (!closed_ && !Fits(bytes)) {
    ++waitingPushers_;
    changed_.wait(hold, [&] { return closed_ || Fits(bytes); });
    --waitingPushers_;
  }
  if (closed_) return false;
  QueuedMessage entry;
  entry.message = message;
  entry.text.assign(reinterpret_cast<const char*>(message.text), message.length);
  entry.program.assign(message.program.data(), message.program.size());
  entry.utf8IsText = utf8IsText;
  if (!utf8IsText) entry.utf8.assign(reinterpret_cast<const char*>(message.utf8), message.utf8Length);
  entries_.Keep(std::move(entry), bytes);  // room was waited for
  return true;
}

bool MessageQueue::Pop(QueuedMessage& out) {
  bool pusherWaits = false;
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (entries_.empty()) return false;
    out = entries_.PopFront();
    pusherWaits = waitingPushers_ != 0;
  }
  // Only a Push waiting for room wants to know: a wake for every message would also stir the
  // reading thread out of its idle wait each time, and under Wine every wake is a server call.
  if (pusherWaits) changed_.notify_all();
  Repoint(out);
  return true;
}

bool MessageQueue::PopBatch(std::deque<QueuedMessage>& out, std::size_t most) {
  bool pusherWaits = false;
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (entries_.empty()) return false;
    for (std::size_t taken = 0; taken < most && !entries_.empty(); ++taken) out.push_back(entries_.PopFront());
    pusherWaits = waitingPushers_ != 0;
  }
  if (pusherWaits) changed_.notify_all();
  return true;
}

void MessageQueue::Close() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    closed_ = true;
  }
  changed_.notify_all();
}

void MessageQueue::Open() {
  std::lock_guard<std::mutex> hold(lock_);
  closed_ = false;
}

bool MessageQueue::WaitClosed(unsigned milliseconds) {
  std::unique_lock<std::mutex> hold(lock_);
  return changed_.wait_for(hold, std::chrono::milliseconds(milliseconds), [&] { return closed_; });
}

bool MessageQueue::WouldWait(std::size_t bytes) const {
  std::lock_guard<std::mutex> hold(lock_);
  return !Fits(bytes);
}

std::size_t MessageQueue::size() const {
  std::lock_guard<std::mutex> hold(lock_);
  return entries_.size();
}
