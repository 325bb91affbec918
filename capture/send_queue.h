// SendQueue: the frames tellitcap keeps for the syslog collector while it cannot be reached,
// bounded by count and by bytes; and RetryDelay, the growing wait between connection attempts.
// Portable: no Windows header; the sender guards the queue with its own lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "receiving/bounded_queue.h"

namespace capture {

// The default bounds: about a minute of a busy sender, and never more memory than a small
// program can spare.
inline constexpr std::size_t kSyslogQueueFrames = 10000;
inline constexpr std::size_t kSyslogQueueBytes = std::size_t{16} << 20;  // 16 MiB

class SendQueue {
 public:
  explicit SendQueue(std::size_t maxFrames, std::size_t maxBytes = kSyslogQueueBytes)
      : frames_(maxFrames, maxBytes, false) {}

  // Keeps the frame when both bounds leave room for it; otherwise counts it as dropped and
  // answers false. A frame larger than the whole bound is dropped even into an empty queue.
  bool Push(std::string frame) {
    const std::size_t size = frame.size();
    if (!frames_.TryPush(std::move(frame), size)) {
      ++dropped_;
      ++droppedInAll_;
      ++run_;
      return false;
    }
    if (run_ != 0) {
      endedRun_ += run_;
      run_ = 0;
    }
    return true;
  }
  bool empty() const { return frames_.empty(); }
  std::size_t size() const { return frames_.size(); }
  std::size_t bytes() const { return frames_.bytes(); }
  // The oldest frame; it stays queued until Pop, so that a failed send is tried again. The
  // reference stays valid while other frames are pushed.
  const std::string& front() const { return frames_.front(); }
  void Pop() { frames_.PopFront(); }
  // The oldest frame cannot be sent at all (too large for the transport): it goes, counted for
  // the notice but in no run of a full queue.
  void DropFront() {
    Pop();
    ++dropped_;
    ++droppedInAll_;
  }

  // The frames dropped since the last call, for the notice to the collector.
  uint64_t TakeDropped() {
    const uint64_t dropped = dropped_;
    dropped_ = 0;
    return dropped;
  }
  uint64_t dropped() const { return dropped_; }
  // Puts back a count taken by TakeDropped whose notice could not be sent.
  void Restore(uint64_t dropped) { dropped_ += dropped; }
  // Every frame dropped since the start, told or not.
  uint64_t droppedInAll() const { return droppedInAll_; }

  // Drops come in runs (the queue stays full for a while); each run is told once on standard
  // error. The length of the runs a kept frame ended since the last call, else 0.
  uint64_t TakeEndedRun() {
    const uint64_t run = endedRun_;
    endedRun_ = 0;
    return run;
  }
  // The same, with the run still going: at the end.
  uint64_t TakeRun() {
    const uint64_t run = endedRun_ + run_;
    endedRun_ = run_ = 0;
    return run;
  }

 private:
  // Full: the frame is dropped, counted for the notice and the runs below.
  BoundedQueue<std::string> frames_;
  uint64_t dropped_ = 0;
  uint64_t droppedInAll_ = 0;
  uint64_t run_ = 0;
  uint64_t endedRun_ = 0;
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

// The syslog sender's waits: a collector that restarts is reached again within a fraction of a
// second, one that is gone for long costs an attempt every 5 s.
inline constexpr uint32_t kSyslogFirstRetryMs = 100;
inline constexpr uint32_t kSyslogLongestRetryMs = 5000;

}  // namespace capture
