// ViewMarks: a view's decisions kept apart from the store while another view is shown.
#include "monitor/filters/view_marks.h"

#include <algorithm>

void ViewMarks::Take(const TextStore& store) {
  marks_.clear();
  first_ = store.FirstMessageNumber();
  for (uint64_t n = first_; n < store.NextMessageNumber(); ++n) {
    const StoredMessage* message = store.MessageByNumber(n);
    marks_.push_back(message ? uint8_t(message->mark) : StoredMessage::kShown);
  }
}

void ViewMarks::Give(TextStore& store) {
  for (uint64_t n = store.FirstMessageNumber(); n < store.NextMessageNumber(); ++n) {
    if (StoredMessage* message = store.MessageByNumber(n)) message->mark = MarkOf(n);
  }
  store.RebuildShownLines();
  Clear(store.NextMessageNumber());
}

void ViewMarks::Push(uint64_t number, uint8_t mark) {
  // A number past the end leaves a gap of shown messages: nothing of them was decided here.
  if (marks_.empty()) first_ = number;
  if (number < first_) return;
  while (first_ + marks_.size() < number) marks_.push_back(StoredMessage::kShown);
  if (first_ + marks_.size() == number) marks_.push_back(mark);
  else marks_[size_t(number - first_)] = mark;
}

void ViewMarks::Forget(uint64_t firstKept) {
  if (firstKept <= first_) return;
  const uint64_t gone = std::min<uint64_t>(firstKept - first_, marks_.size());
  marks_.erase(marks_.begin(), marks_.begin() + std::ptrdiff_t(gone));
  first_ = firstKept;
}

uint64_t ViewMarks::Hidden() const {
  return uint64_t(std::count(marks_.begin(), marks_.end(), StoredMessage::kHidden));
}
