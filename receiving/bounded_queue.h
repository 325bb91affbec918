// BoundedQueue: entries in arrival order, bounded by their count and by their bytes; the one
// queue of both programs. What a full queue does is its owner's policy: the mailslot's reading
// thread waits for room (its senders then wait in the channel and nothing is lost); the
// debug-output listener and the syslog sender drop the entry and count it, so that no writer is
// ever held up. Not locked: the owner guards it where threads share it. Portable: no Windows
// header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>

#include "receiving/byte_bound.h"

template <typename T>
class BoundedQueue {
 public:
  // With oversizeAlone, an entry larger than the byte bound is let into an empty queue, where it
  // goes alone; without, it never fits.
  BoundedQueue(std::size_t maxEntries, std::size_t maxBytes, bool oversizeAlone)
      : maxEntries_(maxEntries), maxBytes_(maxBytes), oversizeAlone_(oversizeAlone) {}

  // Whether an entry of this many bytes fits now.
  bool Fits(std::size_t bytes) const {
    if (oversizeAlone_ && slots_.empty()) return true;
    return slots_.size() < maxEntries_ && FitsWithin(bytes_, bytes, maxBytes_);
  }
  // Keeps the entry when it fits; else counts it as dropped and gives false.
  bool TryPush(T entry, std::size_t bytes) {
    if (!Fits(bytes)) {
      ++dropped_;
      return false;
    }
    Keep(std::move(entry), bytes);
    return true;
  }
  // Keeps the entry whether it fits or not (one the owner waited room for, or a notice that
  // stands for dropped entries, counted as no bytes).
  void Keep(T entry, std::size_t bytes) {
    slots_.push_back(Slot{std::move(entry), bytes});
    bytes_ += bytes;
  }
  // A drop that never came to a Push (the entry could not even be made).
  void CountDropped() { ++dropped_; }

  bool empty() const { return slots_.empty(); }
  std::size_t size() const { return slots_.size(); }
  std::size_t bytes() const { return bytes_; }
  uint64_t dropped() const { return dropped_; }
  // The oldest entry; it stays until PopFront. A deque never moves its elements, so the
  // reference stays valid while others are pushed.
  T& front() { return slots_.front().value; }
  const T& front() const { return slots_.front().value; }
  T PopFront() {
    Slot slot = std::move(slots_.front());
    slots_.pop_front();
    bytes_ -= slot.bytes;
    return std::move(slot.value);
  }

 private:
  struct Slot {
    T value;
    std::size_t bytes;
  };
  std::deque<Slot> slots_;
  std::size_t bytes_ = 0;
  uint64_t dropped_ = 0;
  std::size_t maxEntries_;
  std::size_t maxBytes_;
  bool oversizeAlone_;
};
