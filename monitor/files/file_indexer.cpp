// Indexing an opened file's bytes into messages: lines split, JSON records read, texts converted.
#include "monitor/files/file_indexer.h"

#include <cstring>

#include "receiving/line_ends.h"
#include "receiving/message.h"
#include "code_page/utf8_characters.h"
#include "receiving/message_text.h"

void FileIndexer::Feed(const uint8_t* bytes, size_t size) {
  batch_.fileBytes += size;
  const char* at = reinterpret_cast<const char*>(bytes);
  const char* const end = at + size;
  if (skipBom_ && kind_.byteOrderMark != 0 && size != 0) {
    // The mark is judged from the file's first bytes, which come in the first feed.
    const size_t skip = size < kind_.byteOrderMark ? size : kind_.byteOrderMark;
    at += skip;
  }
  skipBom_ = false;
  while (at < end) {
    const auto* lineEnd = static_cast<const char*>(std::memchr(at, '\n', size_t(end - at)));
    const char* const stop = lineEnd ? lineEnd : end;
    const size_t length = size_t(stop - at);
    if (partial_.empty() && !partialCut_ && lineEnd) {
      // The usual case: the whole line is in this feed.
      if (length <= kLongestLine) Line(at, length, false);
      else Line(at, kLongestLine, true);
    } else {
      const size_t room = partial_.size() < kLongestLine ? kLongestLine - partial_.size() : 0;
      partial_.append(at, length < room ? length : room);
      if (length > room) partialCut_ = true;
      if (lineEnd) {
        Line(partial_.data(), partial_.size(), partialCut_);
        partial_.clear();
        partialCut_ = false;
      }
    }
    at = lineEnd ? lineEnd + 1 : end;
  }
}

void FileIndexer::Finish() {
  if (partial_.empty() && !partialCut_) return;
  Line(partial_.data(), partial_.size(), partialCut_);
  partial_.clear();
  partialCut_ = false;
}

void FileIndexer::Restart() {
  partial_.clear();
  partialCut_ = false;
  skipBom_ = true;
}

IndexedBatch FileIndexer::Take() {
  IndexedBatch taken = std::move(batch_);
  batch_ = IndexedBatch();
  // Program indexes start again with each batch.
  lastProgram_.clear();
  lastProgramIndex_ = 0;
  return taken;
}

void FileIndexer::Line(const char* text, size_t length, bool cut) {
  ++counts_.lines;
  if (cut) ++counts_.cut;
  if (length != 0 && text[length - 1] == '\r') --length;
  const std::string_view line(text, length);
  if (kind_.format == FileFormat::kJsonLines) {
    JsonLine(line, cut);
    return;
  }
  StoredMessage record;
  record.cut = cut ? 1 : 0;
  TextLine(line, cut, record);
}

void FileIndexer::TextLine(std::string_view text, bool cut, StoredMessage record) {
  std::string_view shown = text;
  if (kind_.encoding == TextEncoding::kAnsi && !code_page::IsAscii(text.data(), text.size())) {
    converted_.clear();
    convert_(text, converted_);
    shown = converted_;
  }
  const size_t start = batch_.text.size();
  batch_.text.append(shown.data(), shown.size());
  if (kind_.binary) {
    // The store's text ends at a NUL wherever it is copied: NUL bytes show as dots.
    for (size_t i = start; i < batch_.text.size(); ++i) {
      if (batch_.text[i] == '\0') batch_.text[i] = '.';
    }
  }
  batch_.text += "\r\n";
  record.cut = cut ? 1 : 0;
  batch_.entries.push_back({record, uint32_t(batch_.text.size() - start)});
}

void FileIndexer::JsonLine(std::string_view text, bool cut) {
  const json_lines::ReadResult read = cut ? json_lines::ReadResult::kMalformed : json_lines::ReadRecord(text, record_);
  if (read == json_lines::ReadResult::kBlank) return;
  if (read == json_lines::ReadResult::kMalformed) {
    // Shown as the text it is, so that nothing of the file is hidden.
    ++counts_.malformed;
    TextLine(text, cut, StoredMessage());
    return;
  }
  StoredMessage record;
  const uint64_t sent = record_.hasSender ? json_lines::FileTimeFromUtc(record_.sent) : 0;
  record.SetTimes(json_lines::FileTimeFromUtc(record_.time), sent);
  record.pid = record_.hasProcessId ? record_.processId : 0;
  record.thread = record_.hasSender ? record_.threadId : 0;
  record.source = uint32_t(record_.source) & 3;
  record.cut = record_.cut ? 1 : 0;
  record.program = record_.hasProcessId && !record_.program.empty() ? ProgramIndex(record_.program) : 0;
  if (record_.lost != 0) {
    record.kind = uint32_t(MessageKind::kLost);
    const std::string notice = message_text::LossNotice(record_.lost, record_.processId, record_.program);
    Add(notice, record);
    return;
  }
  const bool isNotice = record_.notice;
  record.kind = uint32_t(isNotice ? MessageKind::kNotice : MessageKind::kText);
  record.namesSender = !isNotice && record_.hasProcessId ? 1 : 0;
  Add(record_.text, record);  // UTF-8, as the store keeps it
}

void FileIndexer::Add(std::string_view text, const StoredMessage& record) {
  // The monitor's line-end rule, as for a message received live.
  const size_t start = batch_.text.size();
  batch_.text.resize(start + 2 * text.size() + 1);
  const size_t converted = line_ends::Convert(reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                                              reinterpret_cast<uint8_t*>(&batch_.text[start]), 2 * text.size() + 1);
  batch_.text.resize(start + converted);
  batch_.entries.push_back({record, uint32_t(converted)});
}

uint32_t FileIndexer::ProgramIndex(const std::string& name) {
  if (name == lastProgram_ && lastProgramIndex_ != 0) return lastProgramIndex_;
  uint32_t index = 0;
  for (size_t i = 0; i < batch_.programs.size(); ++i) {
    if (batch_.programs[i] == name) index = uint32_t(i + 1);
  }
  if (index == 0) {
    batch_.programs.push_back(name);
    index = uint32_t(batch_.programs.size());
  }
  lastProgram_ = name;
  lastProgramIndex_ = index;
  return index;
}
