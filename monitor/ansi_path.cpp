// Splitting a path in the ANSI code page.
#include "monitor/ansi_path.h"

std::size_t DirectoryPartLength(const char* path, UINT codePage) {
  if (!path) return 0;
  std::size_t directory = 0;
  for (std::size_t i = 0; path[i] != '\0';) {
    const auto byte = static_cast<BYTE>(path[i]);
    if (IsDBCSLeadByteEx(codePage, byte) && path[i + 1] != '\0') {
      i += 2;  // a lead byte and its trail byte, whatever the trail byte's value
      continue;
    }
    ++i;
    if (byte == '\\') directory = i;
  }
  return directory;
}
