// SequenceTracker: gaps forward are losses; a step back is a count that started again.
#include "receiving/sequence_tracker.h"

SequenceTracker::Observation SequenceTracker::Observe(uint32_t processId, uint32_t sequence, bool overflowNotice) {
  auto found = expected_.find(processId);
  if (found == expected_.end()) {
    if (expected_.size() >= kMaxProcesses) expected_.clear();
    expected_.emplace(processId, Expected{sequence + 1, overflowNotice});
    return {Seen::kFirst, 0, false};
  }
  // Modulo 2^32, so the count may wrap: a distance in the lower half is ahead, the upper half behind.
  const uint32_t ahead = sequence - found->second.sequence;
  const bool announcedCut = found->second.cut;
  found->second = Expected{sequence + 1, overflowNotice};
  if (ahead == 0) return {Seen::kInOrder, 0, announcedCut};
  if (ahead >= 0x80000000u) return {Seen::kRestarted, 0, false};
  // Datagrams that arrived unread stand for as many of the missing ones.
  const uint32_t arrived = ahead < unread_ ? ahead : unread_;
  unread_ -= arrived;
  return {Seen::kAfterLoss, ahead - arrived, false};
}

bool SequenceTracker::ObserveUnnamed(bool overflowNotice) {
  const bool cut = unnamedCutNext_;
  unnamedCutNext_ = overflowNotice;
  return cut;
}
