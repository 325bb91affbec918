// FileIndexer: an opened file's bytes, as they are read, made into messages for a console store:
// its lines as text (line ends made CR LF, UTF-8 converted to the store's code page), or its JSON
// lines as the records they hold (sender, thread, times, source, kind). Runs on the reading
// thread; the batches it fills go to the window's thread. Portable: no Windows header; the code
// page conversion comes in as a function.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/stored_message.h"
#include "json_lines/record.h"
#include "monitor/files/file_kind.h"

// Messages ready for a store: their texts one after another, a record and a length for each.
struct IndexedBatch {
  struct Entry {
    StoredMessage record;  // record.program indexes `programs` (0: none)
    uint32_t length = 0;
  };
  std::string text;
  std::vector<Entry> entries;
  std::vector<std::string> programs;  // index 1 .. size
  uint64_t fileBytes = 0;             // bytes of the file that brought them

  bool empty() const { return entries.empty(); }
};

// What the indexer met that the user is told about.
struct IndexCounts {
  uint64_t lines = 0;
  uint64_t malformed = 0;  // JSON lines that held no record: shown as text
  uint64_t cut = 0;        // lines longer than kLongestLine: their start is shown
};

class FileIndexer {
 public:
  // The lines of a binary file (kind.binary) show their NUL bytes as dots.
  // A text file's lines in the ANSI code page made UTF-8, as the store keeps them; called only
  // for text with bytes above 0x7F. UTF-8 files and JSON records are UTF-8 already.
  using Convert = void (*)(std::string_view utf8, std::string& out);
  // A longer line keeps this many bytes and is marked cut; the rest of it is passed over.
  static constexpr size_t kLongestLine = 1024 * 1024;

  FileIndexer(const FileKind& kind, Convert convert) : kind_(kind), convert_(convert) {}

  // The next bytes of the file. A line is indexed once its line end came (or Finish).
  void Feed(const uint8_t* bytes, size_t size);
  // The end of the file for now: a last line without its line end is indexed too.
  void Finish();
  // The file began again from its first byte (rotation, truncation): a partial line goes.
  void Restart();

  // What was indexed since the last call.
  IndexedBatch Take();
  size_t PendingBytes() const { return batch_.text.size(); }
  const IndexCounts& counts() const { return counts_; }

 private:
  void Line(const char* text, size_t length, bool cut);
  void TextLine(std::string_view text, bool cut, StoredMessage record);
  void JsonLine(std::string_view text, bool cut);
  void Add(std::string_view text, const StoredMessage& record);
  uint32_t ProgramIndex(const std::string& name);

  FileKind kind_;
  Convert convert_;
  std::string partial_;      // a line whose line end has not come yet
  bool partialCut_ = false;  // it is longer than kLongestLine and cut
  bool skipBom_ = true;
  IndexedBatch batch_;
  IndexCounts counts_;
  json_lines::Record record_;  // kept between lines for its buffers
  std::string converted_;
  std::string lastProgram_;
  uint32_t lastProgramIndex_ = 0;
};
