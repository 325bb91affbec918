// DebugOutputQueue: the debug output captured by the listener thread, waiting for the next timer
// tick. Bounded; what does not fit is counted and reported by one notice in its place.
// Portable: no Windows header, so the bounds and the notice are tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "receiving/bounded_queue.h"

struct DebugMessage {
  uint32_t processId = 0;
  std::string sender;  // the sending program's file name, empty when it could not be read
  std::string text;    // the text as sent; for a drop notice, the notice line
  bool dropNotice = false;
  uint64_t arrivalTime = 0;  // FILETIME, UTC: when the listener took it
};

class DebugOutputQueue {
 public:
  static constexpr std::size_t kMaxMessages = 10000;
  static constexpr std::size_t kMaxBytes = 4u * 1024 * 1024;

  explicit DebugOutputQueue(std::size_t maxMessages = kMaxMessages, std::size_t maxBytes = kMaxBytes)
      : entries_(maxMessages, maxBytes, false) {}

  // Queues a message; false (and counted as dropped) when the queue is full. The first message
  // that fits after drops is preceded by one notice of how many went.
  bool Push(DebugMessage message);
  // Counts a message that never came to be queued, as a drop.
  void CountDropped() {
    ++pendingDrops_;
    entries_.CountDropped();
  }
  // Takes the oldest entry; false when there is none. Drops that no queued message followed
  // come out last, as a notice.
  bool Pop(DebugMessage& out);

  std::size_t size() const { return entries_.size(); }
  uint64_t droppedTotal() const { return entries_.dropped(); }

 private:
  void QueueDropNotice();

  // Full: the message is dropped, and counted for the notice.
  BoundedQueue<DebugMessage> entries_;
  uint64_t pendingDrops_ = 0;
};
