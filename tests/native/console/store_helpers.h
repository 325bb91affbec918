// Helpers shared by the console store tests: writing strings, reading lines back.
#pragma once

#include <string>
#include <vector>

#include "console/text_store.h"
#include "tests/support/stored_text.h"

inline void Put(TextStore& store, const std::string& bytes) {
  store.Append(reinterpret_cast<const uint8_t*>(bytes.data()), uint32_t(bytes.size()));
}

inline std::string StoredRange(const TextStore& store, uint32_t offset, uint32_t length) {
  return StoredText(store, offset, length);
}

// The complete lines, then the current line as the last element.
inline std::vector<std::string> Lines(const TextStore& store) {
  std::vector<std::string> lines;
  if (!store.HasArrays()) return lines;
  for (uint32_t k = 0; k <= store.lineCount; ++k) {
    lines.push_back(StoredRange(store, store.LineStart(k), store.LineEnd(k) - store.LineStart(k)));
  }
  return lines;
}

inline std::string Stored(const TextStore& store) { return StoredText(store); }
