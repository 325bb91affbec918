// SendQueue: the frames tellitcap keeps for the syslog collector while it cannot be reached,
// bounded; and RetryDelay, the growing wait between connection attempts. Portable: no Windows
// header; the sender guards the queue with its own lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace capture {

class SendQueue {
 public:
  explicit SendQueue(std::size_t capacity) : capacity_(capacity) {}

  // Keeps the frame when there is room; otherwise counts it as dropped and answers false.
  bool Push(std::string frame) {
    if (frames_.size() >= capacity_) {
      ++dropped_;
      return false;
    }
    frames_.push_back(std::move(frame));
    return true;
  }
  bool empty() const { return frames_.empty(); }
  std::size_t size() const { return frames_.size(); }
  // The oldest frame; it stays queued until Pop, so that a failed send is tried again.
  const std::string& front() const { return frames_.front(); }
  void Pop() { frames_.pop_front(); }
  // The frames dropped since the last call.
  uint64_t TakeDropped() {
    const uint64_t dropped = dropped_;
    dropped_ = 0;
    return dropped;
  }
  uint64_t dropped() const { return dropped_; }
  // Puts back a count taken by TakeDropped whose notice could not be sent.
  void Restore(uint64_t dropped) { dropped_ += dropped; }

 private:
  std::size_t capacity_;
  std::deque<std::string> frames_;
  uint64_t dropped_ = 0;
};

// The wait before the next connection attempt: the first, then twice the previous, up to the
// longest; a success starts again from the first.
class RetryDelay {
 public:
  RetryDelay(uint32_t firstMs, uint32_t longestMs) : first_(firstMs), longest_(longestMs), next_(firstMs) {}
  uint32_t Next() {
    const uint32_t delay = next_;
    next_ = next_ > longest_ / 2 ? longest_ : next_ * 2;
    return delay;
  }
  void Reset() { next_ = first_; }

 private:
  uint32_t first_;
  uint32_t longest_;
  uint32_t next_;
};

}  // namespace capture
