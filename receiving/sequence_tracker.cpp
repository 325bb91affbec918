// SequenceTracker: gaps forward are losses; a step back is a count that started again.
#include "receiving/sequence_tracker.h"

SequenceTracker::Observation SequenceTracker::Observe(uint32_t processId, uint32_t sequence) {
  auto found = expected_.find(processId);
  if (found == expected_.end()) {
    if (expected_.size() >= kMaxProcesses) expected_.clear();
    expected_.emplace(processId, sequence + 1);
    return {Seen::kFirst, 0};
  }
  // Modulo 2^32, so the count may wrap: a distance in the lower half is ahead, the upper half behind.
  const uint32_t ahead = sequence - found->second;
  found->second = sequence + 1;
  if (ahead == 0) return {Seen::kInOrder, 0};
  if (ahead < 0x80000000u) return {Seen::kAfterLoss, ahead};
  return {Seen::kRestarted, 0};
}
