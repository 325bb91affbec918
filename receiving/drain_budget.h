// DrainBudget: what one drain may take from a source at most: messages, bytes (it stops once it
// has read this many) and time. A limit of 0 is none. The clock is the caller's, so that a test
// of the limits never depends on how fast the machine runs.
#pragma once

#include <cstdint>

struct DrainLimits {
  uint32_t messages = 0;
  uint64_t bytes = 0;
  uint32_t milliseconds = 0;
};

class DrainBudget {
 public:
  using Clock = uint32_t (*)();  // milliseconds, wrapping

  DrainBudget(const DrainLimits& limits, Clock clock)
      : limits_(limits), clock_(clock), start_(limits.milliseconds != 0 ? clock() : 0) {}

  bool Left() const {
    if (limits_.messages != 0 && messages_ >= limits_.messages) return false;
    if (limits_.bytes != 0 && bytes_ >= limits_.bytes) return false;
    return limits_.milliseconds == 0 || clock_() - start_ < limits_.milliseconds;
  }
  void Spend(uint64_t bytes) {
    ++messages_;
    bytes_ += bytes;
  }
  uint32_t taken() const { return messages_; }

 private:
  DrainLimits limits_;
  Clock clock_;
  uint32_t start_;
  uint32_t messages_ = 0;
  uint64_t bytes_ = 0;
};
