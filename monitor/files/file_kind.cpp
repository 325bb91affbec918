// Judging an opened file from its first bytes.
#include "monitor/files/file_kind.h"

#include <cstring>
#include <string_view>

#include "json_lines/record.h"

bool IsValidUtf8(const uint8_t* bytes, size_t size, bool cutEndAllowed) {
  size_t i = 0;
  while (i < size) {
    const uint8_t b = bytes[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    uint32_t low = 0x80, high = 0xBF;  // the range of the second byte
    if (b >= 0xC2 && b <= 0xDF) length = 2;
    else if (b == 0xE0) length = 3, low = 0xA0;
    else if (b == 0xED) length = 3, high = 0x9F;  // no surrogates
    else if (b >= 0xE1 && b <= 0xEF) length = 3;
    else if (b == 0xF0) length = 4, low = 0x90;
    else if (b >= 0xF1 && b <= 0xF3) length = 4;
    else if (b == 0xF4) length = 4, high = 0x8F;
    else return false;
    for (size_t k = 1; k < length; ++k) {
      if (i + k >= size) return cutEndAllowed;
      const uint8_t next = bytes[i + k];
      if (k == 1 ? (next < low || next > high) : (next < 0x80 || next > 0xBF)) return false;
    }
    i += length;
  }
  return true;
}

FileKind DetectFileKind(const uint8_t* sample, size_t size, bool whole) {
  FileKind kind;
  if (size >= 3 && sample[0] == 0xEF && sample[1] == 0xBB && sample[2] == 0xBF) kind.byteOrderMark = 3;
  const uint8_t* text = sample + kind.byteOrderMark;
  const size_t length = size - kind.byteOrderMark;
  kind.binary = std::memchr(text, 0, length) != nullptr;

  // JSON lines when the first line that is not blank reads as a record.
  const std::string_view all(reinterpret_cast<const char*>(text), length);
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\n', start);
    if (end == std::string_view::npos) {
      if (!whole) break;  // a first line longer than the sample is judged as text
      end = all.size();
    }
    json_lines::Record record;
    const json_lines::ReadResult read = json_lines::ReadRecord(all.substr(start, end - start), record);
    if (read == json_lines::ReadResult::kRecord) {
      kind.format = FileFormat::kJsonLines;
      kind.encoding = TextEncoding::kUtf8;
      return kind;
    }
    if (read == json_lines::ReadResult::kMalformed) break;
    start = end + 1;
  }
  bool ascii = true;
  for (size_t i = 0; i < length && ascii; ++i) ascii = text[i] < 0x80;
  if (kind.byteOrderMark != 0 || (!ascii && IsValidUtf8(text, length, !whole))) kind.encoding = TextEncoding::kUtf8;
  return kind;
}
