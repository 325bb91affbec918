// Fuzzes the JSON-lines reader: any line reads without a fault, and a record it reads, written
// again, reads back to the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "json_lines/record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  json_lines::Record record;
  if (json_lines::ReadRecord(line, record) != json_lines::ReadResult::kRecord) return 0;
  if (record.lost != 0) record.text.clear();  // a loss is written without its text
  std::string written;
  json_lines::AppendRecord(written, record);
  if (written.empty() || written.back() != '\n' || written.find('\n') != written.size() - 1) std::abort();
  json_lines::Record again;
  if (json_lines::ReadRecord(std::string_view(written).substr(0, written.size() - 1), again) !=
      json_lines::ReadResult::kRecord)
    std::abort();
  if (again.text != record.text || again.processId != record.processId || again.lost != record.lost ||
      again.cut != record.cut || again.source != record.source)
    std::abort();
  if (record.lost == 0 && (again.program != (record.hasProcessId ? record.program : std::string()) ||
                           again.threadId != record.threadId || again.notice != record.notice))
    std::abort();
  return 0;
}
