// The console store's bytes as a string, for tests that look at what a console holds.
#pragma once

#include <algorithm>
#include <string>

#include "console/text_store.h"
#include "console/text_view.h"

inline std::string StoredText(const TextStore& store, uint32_t offset = 0, uint32_t length = ~0u) {
  if (offset >= store.used) return std::string();
  std::string bytes(std::min(length, store.used - offset), '\0');
  if (!bytes.empty()) store.CopyOut(offset, uint32_t(bytes.size()), reinterpret_cast<uint8_t*>(&bytes[0]));
  return bytes;
}

// The whole history as the view draws it (each line's gutter before its text, hidden lines left
// out): what All Copy gives.
inline std::string DrawnText(const TextView& view) {
  if (!view.text || view.text->used == 0) return std::string();
  std::string bytes(view.CopyDrawn(0, view.text->used, nullptr), '\0');
  if (!bytes.empty()) view.CopyDrawn(0, view.text->used, reinterpret_cast<uint8_t*>(&bytes[0]));
  return bytes;
}
