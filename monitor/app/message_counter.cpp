// MessageCounter: the running count and the one-second rate in time slots.
#include "monitor/app/message_counter.h"

void MessageCounter::Add(uint32_t now) {
  ++total_;
  Slot& newest = slots_[current_];
  // Unsigned differences stay right across the tick count's wrap.
  if (newest.count != 0 && now - newest.start < kSlotMs) {
    ++newest.count;
    return;
  }
  if (newest.count != 0) current_ = (current_ + 1) % kSlots;
  slots_[current_].start = now;
  slots_[current_].count = 1;
}

uint32_t MessageCounter::RatePerSecond(uint32_t now) {
  uint32_t rate = 0;
  for (Slot& slot : slots_) {
    if (slot.count == 0) continue;
    if (now - slot.start < kWindowMs) {
      rate += slot.count;
    } else {
      slot.count = 0;
    }
  }
  return rate;
}
