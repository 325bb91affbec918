// An opened file's bytes made into messages: lines and their ends, fed in pieces split anywhere,
// long lines, UTF-8, and JSON records with their senders and times.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "json_lines/iso_time.h"
#include "monitor/files/file_indexer.h"
#include "receiving/message.h"

namespace {

// Stands for the code page conversion: every character that is not ASCII becomes '?'.
void QuestionMarks(std::string_view utf8, std::string& out) {
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) out += c;
    else if (byte >= 0xC0) out += '?';
  }
}

struct Indexed {
  std::vector<std::string> texts;
  std::vector<IndexedBatch::Entry> entries;
  std::vector<std::string> programs;  // of each entry
};

Indexed Collect(IndexedBatch batch, Indexed into = Indexed()) {
  size_t at = 0;
  for (const auto& entry : batch.entries) {
    into.texts.push_back(batch.text.substr(at, entry.length));
    into.entries.push_back(entry);
    into.programs.push_back(entry.record.program != 0 ? batch.programs[entry.record.program - 1] : "");
    at += entry.length;
  }
  return into;
}

// The file fed in two pieces split at `split`, then finished.
Indexed IndexSplit(const FileKind& kind, const std::string& file, size_t split) {
  FileIndexer indexer(kind, QuestionMarks);
  indexer.Feed(reinterpret_cast<const uint8_t*>(file.data()), split);
  Indexed first = Collect(indexer.Take());
  indexer.Feed(reinterpret_cast<const uint8_t*>(file.data()) + split, file.size() - split);
  indexer.Finish();
  return Collect(indexer.Take(), first);
}

TEST(FileIndexer, TextLinesWhereverTheFileIsSplit) {
  const struct {
    std::string file;
    TextEncoding encoding;
    size_t mark;
    std::vector<std::string> lines;
  } cases[] = {
      {"one\r\ntwo\r\n", TextEncoding::kAnsi, 0, {"one\r\n", "two\r\n"}},
      {"one\ntwo", TextEncoding::kAnsi, 0, {"one\r\n", "two\r\n"}},  // the last line without its end
      {"\n\r\n", TextEncoding::kAnsi, 0, {"\r\n", "\r\n"}},
      {"caf\xC3\xA9\n", TextEncoding::kUtf8, 0, {"caf\xC3\xA9\r\n"}},  // UTF-8 stays as it is
      {"caf\xE9\n", TextEncoding::kAnsi, 0, {"caf?\r\n"}},  // ANSI bytes are converted
      {"\xEF\xBB\xBFmarked\n", TextEncoding::kUtf8, 3, {"marked\r\n"}},
      {std::string("nul\0byte\n", 9), TextEncoding::kAnsi, 0, {"nul.byte\r\n"}},
      {"", TextEncoding::kAnsi, 0, {}},
  };
  for (const auto& c : cases) {
    FileKind kind;
    kind.encoding = c.encoding;
    kind.byteOrderMark = c.mark;
    kind.binary = c.file.find('\0') != std::string::npos;
    for (size_t split = c.mark; split <= c.file.size(); ++split) {
      const Indexed indexed = IndexSplit(kind, c.file, split);
      EXPECT_EQ(indexed.texts, c.lines) << c.file << " split at " << split;
      for (const auto& entry : indexed.entries) {
        EXPECT_EQ(entry.record.Arrival(), 0u);
        EXPECT_EQ(entry.record.namesSender, 0u);
      }
    }
  }
}

TEST(FileIndexer, ALineLongerThanTheLongestKeepsItsStartAndIsCut) {
  const std::string longLine(FileIndexer::kLongestLine + 5000, 'x');
  const std::string file = "before\n" + longLine + "\nafter\n";
  for (const size_t split : {size_t(3), size_t(7 + 100), size_t(7 + FileIndexer::kLongestLine + 10), file.size()}) {
    const Indexed indexed = IndexSplit(FileKind(), file, split);
    ASSERT_EQ(indexed.texts.size(), 3u) << split;
    EXPECT_EQ(indexed.texts[0], "before\r\n");
    EXPECT_EQ(indexed.texts[1], std::string(FileIndexer::kLongestLine, 'x') + "\r\n") << split;
    EXPECT_EQ(indexed.entries[1].record.cut, 1u);
    EXPECT_EQ(indexed.entries[0].record.cut, 0u);
    EXPECT_EQ(indexed.texts[2], "after\r\n");
  }
}

TEST(FileIndexer, JsonRecordsKeepTheirSendersAndTimes) {
  FileKind kind;
  kind.format = FileFormat::kJsonLines;
  kind.encoding = TextEncoding::kUtf8;
  const std::string file =
      "{\"time\":\"2024-05-06T07:08:09.123Z\",\"source\":\"tellit\",\"pid\":42,\"program\":\"a.exe\",\"tid\":7,"
      "\"seq\":3,\"sent\":\"2024-05-06T07:08:09.120Z\",\"text\":\"hello\\n\"}\n"
      "\n"
      "not json at all\r\n"
      "{\"time\":\"2024-05-06T07:08:10.000Z\",\"source\":\"debug\",\"pid\":9,\"text\":\"caf\xC3\xA9\\r\"}\n"
      "{\"time\":\"2024-05-06T07:08:11.000Z\",\"source\":\"tellit\",\"lost\":5,\"pid\":42}\n"
      "{\"time\":\"2024-05-06T07:08:12.000Z\",\"source\":\"tellit\",\"kind\":\"notice\",\"text\":\"n\"}";
  json_lines::UtcTime time;
  ASSERT_TRUE(json_lines::ParseIso8601("2024-05-06T07:08:09.123Z", time));
  const uint64_t arrival = json_lines::FileTimeFromUtc(time);
  ASSERT_TRUE(json_lines::ParseIso8601("2024-05-06T07:08:09.120Z", time));
  const uint64_t sent = json_lines::FileTimeFromUtc(time);
  for (size_t split = 0; split <= file.size(); split += 7) {
    FileIndexer indexer(kind, QuestionMarks);
    indexer.Feed(reinterpret_cast<const uint8_t*>(file.data()), split);
    Indexed indexed = Collect(indexer.Take());
    indexer.Feed(reinterpret_cast<const uint8_t*>(file.data()) + split, file.size() - split);
    indexer.Finish();
    indexed = Collect(indexer.Take(), indexed);
    ASSERT_EQ(indexed.texts.size(), 5u) << split;
    EXPECT_EQ(indexer.counts().malformed, 1u);

    EXPECT_EQ(indexed.texts[0], "hello\r\n");
    const StoredMessage& first = indexed.entries[0].record;
    EXPECT_EQ(first.pid, 42u);
    EXPECT_EQ(first.thread, 7u);
    EXPECT_EQ(first.namesSender, 1u);
    EXPECT_EQ(first.Arrival(), arrival);
    EXPECT_EQ(first.Sent(), sent);
    EXPECT_EQ(first.source, uint32_t(MessageSource::kTellit));
    EXPECT_EQ(first.kind, uint32_t(MessageKind::kText));
    EXPECT_EQ(indexed.programs[0], "a.exe");

    EXPECT_EQ(indexed.texts[1], "not json at all\r\n");
    EXPECT_EQ(indexed.entries[1].record.namesSender, 0u);

    EXPECT_EQ(indexed.texts[2], "caf\xC3\xA9\r\n");  // UTF-8, as the store keeps it
    EXPECT_EQ(indexed.entries[2].record.source, uint32_t(MessageSource::kDebugOutput));
    EXPECT_EQ(indexed.entries[2].record.Sent(), 0u);

    EXPECT_EQ(indexed.entries[3].record.kind, uint32_t(MessageKind::kLost));
    EXPECT_NE(indexed.texts[3].find('5'), std::string::npos) << indexed.texts[3];
    EXPECT_EQ(indexed.entries[4].record.kind, uint32_t(MessageKind::kNotice));
    EXPECT_EQ(indexed.entries[4].record.namesSender, 0u);
  }
}

TEST(FileIndexer, RestartDropsAPartialLine) {
  FileIndexer indexer(FileKind(), QuestionMarks);
  const std::string before = "kept\nhalf a li";
  indexer.Feed(reinterpret_cast<const uint8_t*>(before.data()), before.size());
  indexer.Restart();
  const std::string after = "new\n";
  indexer.Feed(reinterpret_cast<const uint8_t*>(after.data()), after.size());
  EXPECT_EQ(Collect(indexer.Take()).texts, (std::vector<std::string>{"kept\r\n", "new\r\n"}));
}

}  // namespace
