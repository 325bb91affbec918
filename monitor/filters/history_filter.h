// HistoryFilter: what the filter rules make of a stored message, for each new one and again for
// every message the console holds when the rules change. Text rules see the text the sender
// wrote, never the time stamp or the sender prefix the console put around it. The history is
// decided in slices that the caller runs between other work, and marked all at once at the end,
// so that the view never shows half of the old and half of the new decisions. Portable: no
// Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

#include "console/text_store.h"
#include "filtering/filter_set.h"

class HistoryFilter {
 public:
  // A message that cannot be decided again: its beginning has left the store.
  static constexpr uint8_t kUndecided = 0xFE;

  // The mark of a message with this record and text (the sender's, after the line-end rule):
  // hidden, a highlight's colour pair number (the rule's index + 1), or shown. Notices are always
  // shown, never highlighted.
  static uint8_t MarkFor(const filtering::FilterSet& filters, const StoredMessage& message,
                         std::string_view program, const uint8_t* text, size_t length);
  // The same for stored message `number`, from its bytes in the store; kUndecided when it is not
  // stored whole. `scratch` holds the bytes meanwhile when they cross the ring's edge.
  static uint8_t MarkOfStored(const filtering::FilterSet& filters, const TextStore& store, uint64_t number,
                              std::vector<uint8_t>& scratch);
  // The same for messages taken in order, with a cursor of the store's (TextStore::CursorAt).
  static uint8_t MarkOfStored(const filtering::FilterSet& filters, const TextStore& store, uint64_t number,
                              TextStore::MessageCursor& cursor, std::vector<uint8_t>& scratch);

  // Stores one message (a record, and the sender's text, given to `append`, which puts it in the
  // store) with the mark the filters give the sender's part of it. A text that
  // takes characters back (a backspace) is decided from what the store holds once it took it,
  // and so are the messages before it on its line, whose characters it may have taken.
  template <typename Append>
  static void Store(TextStore& store, const filtering::FilterSet& filters, StoredMessage record,
                    const uint8_t* senderText, size_t senderLength, std::vector<uint8_t>& scratch, Append&& append) {
    const std::string& program = store.programs.Name(record.program);
    const bool takesBack = senderLength != 0 && std::memchr(senderText, kBackspace, senderLength) != nullptr;
    record.mark = takesBack ? StoredMessage::kShown : MarkFor(filters, record, program, senderText, senderLength);
    const uint64_t lineOwner = store.MessageNumberOfLine(store.lineCount);
    const uint64_t number = store.NextMessageNumber();
    store.BeginMessage(record);
    append();
    if (!takesBack || !filters.Active()) return;
    for (uint64_t n = lineOwner < number ? lineOwner : number; n <= number; ++n) {
      const uint8_t mark = MarkOfStored(filters, store, n, scratch);
      if (mark != kUndecided) store.SetMark(n, mark);
    }
  }

  // The messages stored now are to be decided again with filters (kept by reference until done).
  void Start(const TextStore& store, const filtering::FilterSet& filters);
  // Decides messages until all are or timeUp() says to stop; then, when all are, marks them and
  // returns true. Messages that arrived since Start were decided with the same rules as they came.
  bool Step(TextStore& store, const std::function<bool()>& timeUp);
  bool Running() const { return filters_ != nullptr; }

 private:
  static constexpr uint8_t kBackspace = 0x08;
  void Finish(TextStore& store);

  const filtering::FilterSet* filters_ = nullptr;
  uint64_t firstMessage_ = 0, endMessage_ = 0;
  uint64_t nextMessage_ = 0;  // the next to decide
  std::vector<uint8_t> marks_;    // by message number from firstMessage_
  std::vector<uint8_t> scratch_;  // a message's stored bytes, then its text
};
