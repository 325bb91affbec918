// MessageQueue: messages the reading thread has taken from the mailslot, with their texts and
// program names owned, waiting for the GUI thread's next tick. Bounded in count and bytes: a full
// queue makes the reader wait, so the writers wait in the channel and nothing is lost.
// Portable: no Windows header, so the bounds and the order are tested natively.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>

#include "receiving/bounded_queue.h"
#include "receiving/message.h"

struct QueuedMessage {
  Message message;  // its text, UTF-8 text and program point into the strings below once popped
  std::string text;
  std::string program;
  std::string utf8;          // empty where the UTF-8 text is `text` itself (ASCII)
  bool utf8IsText = false;

  // Bytes the entry holds: what counts against the queue's byte bound.
  std::size_t bytes() const { return text.size() + program.size() + utf8.size(); }
};

class MessageQueue {
 public:
  static constexpr std::size_t kMaxMessages = 50000;
  static constexpr std::size_t kMaxBytes = 16u * 1024 * 1024;

  explicit MessageQueue(std::size_t maxMessages = kMaxMessages, std::size_t maxBytes = kMaxBytes)
      : entries_(maxMessages, maxBytes, true) {}

  // Queues a copy of the message, waiting while the queue is full; false when Close came first.
  // A message larger than the byte bound alone is queued once the queue is empty.
  bool Push(const Message& message);
  // Takes the oldest message; false when none waits. Its text and program stay valid until the
  // next Pop into the same record.
  bool Pop(QueuedMessage& out);
  // Moves up to `most` of the oldest messages to the end of `out` under one lock, so that a
  // drain of many takes the lock (and wakes a waiting Push) once; their texts are re-pointed
  // by the caller's Pop from `out` (see Repoint). False when none waited.
  bool PopBatch(std::deque<QueuedMessage>& out, std::size_t most);
  // Points a message taken from a batch at its own text and program again: a move may have
  // changed where they lie.
  static void Repoint(QueuedMessage& message) {
    message.message.text = reinterpret_cast<const uint8_t*>(message.text.data());
    message.message.program = message.program;
    const std::string& utf8 = message.utf8IsText ? message.text : message.utf8;
    message.message.utf8 = reinterpret_cast<const uint8_t*>(utf8.data());
    message.message.utf8Length = utf8.size();
  }
  // Wakes a waiting Push, which then gives up; later Pushes give up at once. Open undoes it.
  void Close();
  void Open();
  // Waits up to `milliseconds` or until Close; true when closed.
  bool WaitClosed(unsigned milliseconds);

  std::size_t size() const;
  // Whether a message of this many bytes (text and program) would wait now for room.
  bool WouldWait(std::size_t bytes) const;

 private:
  bool Fits(std::size_t bytes) const { return entries_.Fits(bytes); }

  mutable std::mutex lock_;
  std::condition_variable changed_;
  // Full: the pusher waits for room, so that nothing is lost.
  BoundedQueue<QueuedMessage> entries_;
  bool closed_ = false;
  std::size_t waitingPushers_ = 0;  // Pushes waiting for room, which a Pop wakes
};
