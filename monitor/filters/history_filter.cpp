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

void HistoryFilter::Start(const TextStore& store, const filtering::FilterSet& filters) {
  filters_ = &filters;
  firstMessage_ = store.FirstMessageNumber();
  endMessage_ = store.NextMessageNumber();
  nextLine_ = store.frontLine;
  marks_.assign(size_t(endMessage_ - firstMessage_), kUndecided);
}

bool HistoryFilter::Step(TextStore& store, const std::function<bool()>& timeUp) {
  if (!filters_) return true;
  uint32_t k = uint32_t(std::max(nextLine_, store.frontLine) - store.frontLine);
  for (int decided = 0; k <= store.lineCount; ++decided) {
    if ((decided & 63) == 63 && timeUp()) {
      nextLine_ = store.frontLine + k;
      return false;
    }
    const uint64_t number = store.MessageNumberOfLine(k);
    if (number == ~uint64_t(0)) {
      ++k;  // a line from before any message
      continue;
    }
    if (number >= endMessage_) break;  // the lines from here on came after Start
    // The message's lines follow one another; its text is theirs, as stored.
    uint32_t last = k;
    while (last < store.lineCount && store.MessageNumberOfLine(last + 1) == number) ++last;
    const uint32_t start = store.LineStart(k);
    const uint32_t length = store.LineEnd(last) - start;
    const TextPieces pieces = store.Pieces(start, length);
    const uint8_t* text = pieces.first;
    if (pieces.secondLength != 0) {
      scratch_.resize(length);
      store.CopyOut(start, length, scratch_.data());
      text = scratch_.data();
    }
    const StoredMessage& message = *store.MessageOfLine(k);
    if (number >= firstMessage_) {
      marks_[size_t(number - firstMessage_)] =
          MarkFor(*filters_, message, store.programs.Name(message.program), text, length);
    }
    k = last + 1;
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
