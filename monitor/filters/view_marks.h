// ViewMarks: one view's decisions on the stored messages while another view is shown, one byte
// per message by its number; handed to the store's records when the view is shown again.
// Portable: no Windows header.
#pragma once

#include <cstdint>
#include <deque>

#include "console/text_store.h"

class ViewMarks {
 public:
  // Keeps the marks the store's records hold now, in place of any kept before.
  void Take(const TextStore& store);
  // Writes the kept marks into the store's records (a message without one is shown) and counts
  // the shown lines again; the kept marks are then let go.
  void Give(TextStore& store);
  // The mark of message `number`, taken in after the others.
  void Push(uint64_t number, uint8_t mark);
  // Lets go of the marks of messages before `firstKept` (they left the store).
  void Forget(uint64_t firstKept);
  void Clear(uint64_t next) {
    marks_.clear();
    first_ = next;
  }
  // The mark kept for message `number`: StoredMessage::kShown when none.
  uint8_t MarkOf(uint64_t number) const {
    return number >= first_ && number - first_ < marks_.size() ? marks_[size_t(number - first_)] : StoredMessage::kShown;
  }
  size_t size() const { return marks_.size(); }
  uint64_t Hidden() const;

 private:
  uint64_t first_ = 0;  // the number of marks_.front()
  std::deque<uint8_t> marks_;
};
