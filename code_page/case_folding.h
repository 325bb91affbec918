// CaseFolding: the lower-case form of each single-byte character of a code page, as data, for
// searches and filters that ignore case. Portable: no Windows header.
#pragma once

#include <cstdint>

// The lower-case form of each byte value where it stands as a single-byte character. Bytes of a
// double-byte character are never folded: Shift-JIS trail bytes include the values of 'A'..'Z'.
struct CaseFolding {
  uint8_t lower[256];

  static CaseFolding None();   // every byte stands for itself
  static CaseFolding Ascii();  // 'A'..'Z' to 'a'..'z'
};
