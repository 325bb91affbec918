// Indexing rate of an opened file: 1 GiB of text lines and 1 GiB of JSON lines of the capture
// form fed through the indexer in the reader's 1 MiB reads, its batches taken as the window's
// thread takes them. Prints MB/s; never a pass or a fail.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "monitor/files/file_indexer.h"

namespace {

constexpr size_t kRead = 1 << 20;
constexpr size_t kBatchBytes = 8u << 20;  // what the reader queues before the window takes it

void Same(std::string_view in, std::string& out) { out.append(in.data(), in.size()); }

// About `bytes` of lines like the monitor's log or tellitcap's output.
std::string Pattern(FileFormat format, size_t bytes) {
  std::string out;
  char line[256];
  for (unsigned n = 0; out.size() < bytes; ++n) {
    if (format == FileFormat::kText) {
      std::snprintf(line, sizeof line, "12:34:56.789 [%u worker.exe] request %u handled in %u ms, status ok\r\n",
                    1000 + n % 7, n, n % 97);
    } else {
      std::snprintf(line, sizeof line,
                    "{\"time\":\"2024-05-06T07:08:%02u.%03uZ\",\"source\":\"tellit\",\"pid\":%u,\"tid\":%u,\"seq\":%u,"
                    "\"sent\":\"2024-05-06T07:08:%02u.%03uZ\",\"text\":\"request %u handled in %u ms\\n\"}\n",
                    n % 60, n % 1000, 1000 + n % 7, 2000 + n % 3, n, n % 60, n % 1000, n, n % 97);
    }
    out += line;
  }
  return out;
}

void Run(const char* name, FileFormat format, size_t total) {
  const std::string pattern = Pattern(format, 64u << 20);
  FileKind kind;
  kind.format = format;
  kind.encoding = format == FileFormat::kJsonLines ? TextEncoding::kUtf8 : TextEncoding::kAnsi;
  FileIndexer indexer(kind, Same);
  size_t fed = 0, messages = 0;
  const auto start = std::chrono::steady_clock::now();
  while (fed < total) {
    for (size_t at = 0; at < pattern.size() && fed < total; at += kRead) {
      const size_t size = pattern.size() - at < kRead ? pattern.size() - at : kRead;
      indexer.Feed(reinterpret_cast<const uint8_t*>(pattern.data()) + at, size);
      fed += size;
      if (indexer.PendingBytes() >= kBatchBytes) messages += indexer.Take().entries.size();
    }
  }
  indexer.Finish();
  messages += indexer.Take().entries.size();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-11s %7.1f MB in %6.2f s: %7.1f MB/s, %.2f million messages/s (%zu messages)\n", name, fed / 1e6,
              seconds, fed / 1e6 / seconds, messages / 1e6 / seconds, messages);
}

}  // namespace

int main(int argc, char** argv) {
  // The size to index, in MiB; 1024 unless given.
  const size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1024;
  Run("text", FileFormat::kText, mib << 20);
  Run("json lines", FileFormat::kJsonLines, mib << 20);
  return 0;
}
