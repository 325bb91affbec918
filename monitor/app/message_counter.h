// MessageCounter: messages received since start or All Erase, and how many arrived in the last
// second, for the status bar. Portable: no Windows header; times are millisecond tick counts.
#pragma once

#include <cstdint>

class MessageCounter {
 public:
  // One received message at tick time now (GetTickCount: it wraps after 49.7 days).
  void Add(uint32_t now);
  // All Erase: the count starts again at 0. The rate goes on: it says what arrives, not what shows.
  void ResetCount() { total_ = 0; }

  uint64_t Total() const { return total_; }
  // Messages received within the last second before now, counted in slots of kSlotMs: every
  // message of the last 950 ms is counted, none older than 1000 ms. Forgets slots that are
  // older, so that a slot left for 49.7 days cannot come back when the tick count wraps.
  uint32_t RatePerSecond(uint32_t now);

  static constexpr uint32_t kWindowMs = 1000;
  static constexpr uint32_t kSlotMs = 50;
  static constexpr uint32_t kSlots = kWindowMs / kSlotMs;

 private:
  // Messages received from start on, for at most kSlotMs; slots begin at the first message that
  // falls outside the current one, so kSlots of them cover at least the window.
  struct Slot {
    uint32_t start = 0;
    uint32_t count = 0;
  };

  uint64_t total_ = 0;
  Slot slots_[kSlots];
  uint32_t current_ = 0;  // index of the newest slot
};
