// ConsolePlace: where a console view stands, in terms that outlive other lines being hidden or
// shown and old lines leaving the front: whether the last line shows, the top line by its number
// among all lines stored, the first column, the finished selection and the last search hit by
// their place among all bytes taken in. Portable: no Windows header.
#pragma once

#include <cstdint>

struct ConsolePlace {
  bool atEnd = true;
  uint64_t topLine = 0;
  int hPos = 0;
  bool selected = false;
  uint64_t selectionLo = 0, selectionHi = 0;
  // Kept for the owner's search, which goes on from its last hit.
  bool found = false;
  uint64_t foundStart = 0, foundEnd = 0;
};
