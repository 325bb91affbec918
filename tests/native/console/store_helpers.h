// Helpers shared by the console store tests: writing strings, reading lines back.
#pragma once

#include <string>
#include <vector>

#include "console/text_store.h"

inline void Put(TextStore& store, const std::string& bytes, uint8_t attribute = 0) {
  store.Append(reinterpret_cast<const uint8_t*>(bytes.data()), uint32_t(bytes.size()), attribute);
}

// The complete lines, then the current line as the last element.
inline std::vector<std::string> Lines(const TextStore& store) {
  std::vector<std::string> lines;
  for (uint32_t k = 0; k <= store.lineCount; ++k) {
    const uint32_t end = k < store.lineCount ? store.lineStarts[k + 1] : store.used;
    lines.emplace_back(reinterpret_cast<const char*>(store.bytes) + store.lineStarts[k], end - store.lineStarts[k]);
  }
  return lines;
}

inline std::string Stored(const TextStore& store) {
  return std::string(reinterpret_cast<const char*>(store.bytes), store.used);
}
