// Save As: a history written as text with what the gutter draws, and as JSON lines that, opened
// again, give the same texts, senders, threads and times.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/files/file_indexer.h"
#include "monitor/files/history_writer.h"
#include "receiving/message.h"

namespace {

void Same(std::string_view in, std::string& out) { out.append(in.data(), in.size()); }

// Draws "<pid>|" before each line that begins a message.
class PidGutter : public LineGutter {
 public:
  void Append(const TextStore& store, uint32_t line, std::string& out) const override {
    const StoredMessage* message = store.MessageOfLine(line);
    if (message && store.LineBeginsMessage(line)) out += std::to_string(message->pid) + "|";
  }
  uint32_t Widest(const TextStore&) const override { return 11; }
};

struct Sent {
  const char* text;
  uint32_t pid, thread;
  const char* program;
  uint64_t arrival, sent;
  MessageSource source;
  MessageKind kind;
  bool hidden;
};

void Fill(TextStore& store, const std::vector<Sent>& messages) {
  ASSERT_TRUE(store.Allocate(1 << 16, 0, 8));  // a narrow wrap: lines of one message wrap
  for (const Sent& m : messages) {
    StoredMessage record;
    record.pid = m.pid;
    record.thread = m.thread;
    record.program = store.programs.Intern(m.program);
    record.SetTimes(m.arrival, m.sent);
    record.source = uint32_t(m.source);
    record.kind = uint32_t(m.kind);
    record.namesSender = m.pid != 0 && m.kind == MessageKind::kText;
    record.mark = m.hidden ? StoredMessage::kHidden : StoredMessage::kShown;
    store.BeginMessage(record);
    store.Append(reinterpret_cast<const uint8_t*>(m.text), uint32_t(std::char_traits<char>::length(m.text)));
  }
  store.RebuildShownLines();
}

const std::vector<Sent> kMessages = {
    {"first\r\n", 10, 1, "a.exe", 133000000000000000ull, 132999999999990000ull, MessageSource::kTellit,
     MessageKind::kText, false},
    {"a longer second\r\n", 11, 2, "b b.exe", 133000000010000000ull, 0, MessageSource::kDebugOutput,
     MessageKind::kText, false},
    {"hidden\r\n", 10, 1, "a.exe", 133000000020000000ull, 0, MessageSource::kTellit, MessageKind::kText, true},
    {"<< notice >>\r\n", 0, 0, "", 133000000030000000ull, 0, MessageSource::kTellit, MessageKind::kNotice, false},
    {"no end", 12, 3, "", 133000000040000000ull, 133000000040000000ull, MessageSource::kDebugOutputGlobal,
     MessageKind::kText, false},
};

TEST(HistoryWriter, TextIsTheShownLinesAfterTheirGutter) {
  TextStore store;
  Fill(store, kMessages);
  std::string out;
  PidGutter gutter;
  history_writer::AppendText(store, &gutter, out);
  EXPECT_EQ(out, "10|first\r\n11|a longer second\r\n0|<< notice >>\r\n12|no end");
  out.clear();
  history_writer::AppendText(store, nullptr, out);
  EXPECT_EQ(out, "first\r\na longer second\r\n<< notice >>\r\nno end");
}

TEST(HistoryWriter, JsonLinesOpenBackAsTheyWere) {
  TextStore store;
  Fill(store, kMessages);
  std::string out;
  history_writer::AppendJsonLines(store, out);

  FileKind kind;
  kind.format = FileFormat::kJsonLines;
  kind.encoding = TextEncoding::kUtf8;
  FileIndexer indexer(kind, Same);
  indexer.Feed(reinterpret_cast<const uint8_t*>(out.data()), out.size());
  indexer.Finish();
  EXPECT_EQ(indexer.counts().malformed, 0u) << out;
  const IndexedBatch batch = indexer.Take();
  std::vector<Sent> shown;
  for (const Sent& m : kMessages) {
    if (!m.hidden) shown.push_back(m);
  }
  ASSERT_EQ(batch.entries.size(), shown.size()) << out;
  size_t at = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    const IndexedBatch::Entry& entry = batch.entries[i];
    EXPECT_EQ(batch.text.substr(at, entry.length), shown[i].text);
    at += entry.length;
    const StoredMessage& r = entry.record;
    EXPECT_EQ(r.pid, shown[i].pid) << i;
    EXPECT_EQ(r.thread, shown[i].sent != 0 ? shown[i].thread : 0u) << i;  // a thread comes with a sender record
    // Times keep their milliseconds.
    EXPECT_EQ(r.Arrival(), shown[i].arrival / 10000 * 10000) << i;
    EXPECT_EQ(r.Sent(), shown[i].sent / 10000 * 10000) << i;
    EXPECT_EQ(r.source, uint32_t(shown[i].source)) << i;
    EXPECT_EQ(r.kind, uint32_t(shown[i].kind)) << i;
    EXPECT_EQ(r.namesSender, shown[i].pid != 0 && shown[i].kind == MessageKind::kText ? 1u : 0u) << i;
    const std::string program = r.program != 0 ? batch.programs[r.program - 1] : "";
    EXPECT_EQ(program, shown[i].program) << i;
  }
}

}  // namespace
