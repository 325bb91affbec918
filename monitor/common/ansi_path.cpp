// Splitting paths and cutting texts in the ANSI code page.
#include "monitor/common/ansi_path.h"

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

std::size_t CutToWholeCharacters(char* text, UINT codePage) {
  if (!text) return 0;
  std::size_t i = 0;
  while (text[i] != '\0') {
    if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[i]))) {
      if (text[i + 1] == '\0') {
        text[i] = '\0';  // a lead byte whose trail byte was cut off
        break;
      }
      i += 2;
    } else {
      ++i;
    }
  }
  return i;
}
