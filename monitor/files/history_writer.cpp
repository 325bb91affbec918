// Writing a console's history as text or as JSON lines.
#include "monitor/files/history_writer.h"

#include <vector>

#include "json_lines/record.h"
#include "receiving/message.h"

namespace history_writer {

void AppendText(const TextStore& store, const LineGutter* gutter, std::string& out) {
  const uint32_t shown = store.ShownLineCount();
  for (uint32_t v = 0; v < shown; ++v) {
    const uint32_t line = store.ShownLine(v);
    if (gutter) gutter->Append(store, line, out);
    const uint32_t start = store.LineStart(line);
    const TextPieces pieces = store.Pieces(start, store.LineEnd(line) - start);
    out.append(reinterpret_cast<const char*>(pieces.first), pieces.firstLength);
    if (pieces.secondLength != 0) out.append(reinterpret_cast<const char*>(pieces.second), pieces.secondLength);
  }
}

void AppendJsonLines(const TextStore& store, std::string& out) {
  const uint64_t first = store.FirstMessageNumber();
  TextStore::MessageCursor cursor = store.CursorAt(first);
  std::vector<uint8_t> bytes;
  json_lines::Record record;
  for (uint64_t n = first; n < store.NextMessageNumber(); ++n) {
    uint32_t offset = 0, length = 0;
    if (!store.MessageBytes(n, cursor, offset, length)) continue;  // its start has left the store
    const StoredMessage* message = store.MessageByNumber(n);
    if (!message || message->mark == StoredMessage::kHidden) continue;
    bytes.resize(length);
    store.CopyOut(offset, length, bytes.data());
    record = json_lines::Record();
    record.text.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    record.time = json_lines::UtcFromFileTime(message->Arrival());
    record.source = json_lines::Source(message->source < 3 ? message->source : 0);
    record.hasProcessId = message->pid != 0;
    record.processId = message->pid;
    if (record.hasProcessId) record.program = store.programs.Name(message->program);
    record.hasSender = message->Sent() != 0;
    record.threadId = message->thread;
    record.sent = json_lines::UtcFromFileTime(message->Sent());
    // A loss is kept as the notice it was shown as: its count is in that text.
    record.notice = message->kind != uint32_t(MessageKind::kText);
    record.cut = message->cut != 0;
    json_lines::AppendRecord(out, record);
  }
}

}  // namespace history_writer
