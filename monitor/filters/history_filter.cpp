// HistoryFilter: one decision per message, and the history decided again in slices.
#include "monitor/filters/history_filter.h"

#include <algorithm>

#include "receiving/message.h"

uint8_t HistoryFilter::MarkFor(const filtering::FilterSet& filters, const StoredMessage& message,
                               std::string_view program, const uint8_t* text, size_t length) {
  if (message.kind != static_cast<uint32_t>(MessageKind::kText) || !filters.Active()) return StoredMessage::kShown;
  filtering::FilterSubject subject;
  subject.text = text;
  subject.length = length;
  subject.program = program;
  subject.processId = message.pid;
  const filtering::FilterDecision decision = filters.Decide(subject);
  if (!decision.shown) return StoredMessage::kHidden;
  return decision.highlight >= 0 && decision.highlight < 250 ? uint8_t(decision.highlight + 1) : StoredMessage::kShown;
}

uint8_t HistoryFilter::MarkOfStored(const filtering::FilterSet& filters, const TextStore& store, uint64_t number,
                                    std::vector<uint8_t>& scratch) {
  TextStore::MessageCursor cursor = store.CursorAt(number);
  return MarkOfStored(filters, store, number, cursor, scratch);
}

uint8_t HistoryFilter::MarkOfStored(const filtering::FilterSet& filters, const TextStore& store, uint64_t number,
                                    TextStore::MessageCursor& cursor, std::vector<uint8_t>& scratch) {
  const StoredMessage* message = store.MessageByNumber(number);
  if (!message) return kUndecided;
  // Without rules, or for a notice, the text plays no part.
  const std::string& program = store.programs.Name(message->program);
  if (message->kind != static_cast<uint32_t>(MessageKind::kText) || !filters.Active()) {
    return MarkFor(filters, *message, program, nullptr, 0);
  }
  uint32_t offset = 0, length = 0;
  if (!store.MessageBytes(number, cursor, offset, length)) return kUndecided;
  // The store holds the sender's text alone: read in place unless it crosses the ring's edge.
  const TextPieces pieces = store.Pieces(offset, length);
  if (pieces.secondLength == 0) return MarkFor(filters, *message, program, pieces.first, pieces.firstLength);
  scratch.resize(length);
  store.CopyOut(offset, length, scratch.data());
  return MarkFor(filters, *message, program, scratch.data(), scratch.size());
}

void HistoryFilter::Start(const TextStore& store, const filtering::FilterSet& filters) {
  filters_ = &filters;
  firstMessage_ = store.FirstMessageNumber();
  endMessage_ = store.NextMessageNumber();
  nextMessage_ = firstMessage_;
  marks_.assign(size_t(endMessage_ - firstMessage_), kUndecided);
}

bool HistoryFilter::Step(TextStore& store, const std::function<bool()>& timeUp) {
  if (!filters_) return true;
  // Messages that left the store since the last slice are not decided.
  uint64_t number = std::max(nextMessage_, store.FirstMessageNumber());
  TextStore::MessageCursor cursor = store.CursorAt(number);
  for (int decided = 0; number < endMessage_; ++number, ++decided) {
    if ((decided & 63) == 63 && timeUp()) {
      nextMessage_ = number;
      return false;
    }
    marks_[size_t(number - firstMessage_)] = MarkOfStored(*filters_, store, number, cursor, scratch_);
  }
  Finish(store);
  return true;
}

void HistoryFilter::Finish(TextStore& store) {
  for (uint64_t number = std::max(firstMessage_, store.FirstMessageNumber()); number < endMessage_; ++number) {
    const uint8_t mark = marks_[size_t(number - firstMessage_)];
    StoredMessage* message = store.MessageByNumber(number);
    if (message && mark != kUndecided) message->mark = mark;
  }
  store.RebuildShownLines();
  filters_ = nullptr;
  marks_ = std::vector<uint8_t>();
}
