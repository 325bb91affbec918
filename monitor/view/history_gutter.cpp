// HistoryGutter: the stamp and the sender prefix of a stored line, from its message record.
#include "monitor/view/history_gutter.h"

#include <cstdint>

#include "console/text_store.h"
#include "receiving/message.h"
#include "receiving/message_text.h"

void HistoryGutter::Append(const TextStore& store, uint32_t line, std::string& out) const {
  const StoredMessage* message = store.MessageOfLine(line);
  if (!message) return;  // text the console took without a record
  // A line without a time (a text file's opened in the monitor) has no stamp.
  if (stamps && store.LineBeginsText(line) && TimeOf(*message) != 0) {
    const uint64_t time = TimeOf(*message);
    uint64_t previous = time;
    if (style.form == line_stamps::StampForm::kDelta) {
      const uint32_t before = store.ShownLinesBefore(line);
      const StoredMessage* above = before != 0 ? store.MessageOfLine(store.ShownLine(before - 1)) : nullptr;
      if (above) previous = TimeOf(*above);
    }
    line_stamps::AppendStamp(style.form, clock_(time), int64_t(time - style.origin), int64_t(time - previous), out);
  }
  const auto source = static_cast<MessageSource>(message->source);
  if (message_text::ShowsSender(message->namesSender != 0, source, senders) && store.LineBeginsMessage(line)) {
    out += message_text::SenderPrefix(message->pid, store.programs.Name(message->program));
  }
}

uint64_t HistoryGutter::TimeOf(const StoredMessage& message) const {
  return !style.arrival && message.Sent() != 0 ? message.Sent() : message.Arrival();
}

uint32_t HistoryGutter::Widest(const TextStore& store) const {
  // "[4294967295 program] " at most: the widest pid's prefix, a blank and the longest name.
  const size_t widestPid = message_text::SenderPrefixLength(UINT32_MAX, {});
  const size_t prefix = senders || namesAlways ? widestPid + 1 + store.programs.Longest() : 0;
  return uint32_t((stamps ? line_stamps::StampWidth(style.form) : 0) + prefix);
}
