// HistoryFilter: what the filter rules make of a stored message, for each new one and again for
// every message the console holds when the rules change. The history is decided in slices that
// the caller runs between other work, and marked all at once at the end, so that the view never
// shows half of the old and half of the new decisions. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "console/text_store.h"
#include "filtering/filter_set.h"

class HistoryFilter {
 public:
  // The mark of a message with this record and text (as stored): hidden, a highlight's colour
  // pair number (the rule's index + 1), or shown. Notices are always shown, never highlighted.
  static uint8_t MarkFor(const filtering::FilterSet& filters, const StoredMessage& message,
                         std::string_view program, const uint8_t* text, size_t length);

  // The messages stored now are to be decided again with filters (kept by reference until done).
  void Start(const TextStore& store, const filtering::FilterSet& filters);
  // Decides messages until all are or timeUp() says to stop; then, when all are, marks them and
  // returns true. Messages that arrived since Start were decided with the same rules as they came.
  bool Step(TextStore& store, const std::function<bool()>& timeUp);
  bool Running() const { return filters_ != nullptr; }

 private:
  static constexpr uint8_t kUndecided = 0xFE;
  void Finish(TextStore& store);

  const filtering::FilterSet* filters_ = nullptr;
  uint64_t firstMessage_ = 0, endMessage_ = 0;
  uint64_t nextLine_ = 0;  // among all lines taken in
  std::vector<uint8_t> marks_;    // by message number from firstMessage_
  std::vector<uint8_t> scratch_;  // a message's text when it lies across the ring's edge
};
