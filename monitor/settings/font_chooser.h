// FontChooser: the settings page's two font lists, fixed-pitch families and the sizes of the chosen one.
#pragma once

#include <windows.h>

#include <cstdint>

// The smallest and largest size the page offers for a family: its raster heights, or the
// scalable sizes for a scalable family and for one this system does not have.
struct FontSizeRange {
  int32_t low;
  int32_t high;
};
FontSizeRange OfferedFontSizes(const char* family);

struct FontChooser {
  HWND dialog = nullptr;
  int nameListId = 0;     // the size list is always the next control, 1109
  char fontName[32] = {};  // the chosen family, NUL-terminated
  int32_t fontSize = 0;
  HWND nameList = nullptr;
  HWND sizeList = nullptr;

  // Fills both lists and selects the stored family and size (or the nearest offered ones).
  // Returns 0 and leaves both lists empty when the dialog or name is missing or the size is 0.
  int Init(HWND dialogWindow, const char* name, int32_t size);
  // Lists the sizes of fontName and selects the first one at least as large as fontSize.
  void FillSizes();

  // EnumFontFamiliesA callbacks; lParam is the chooser. Nonzero continues the enumeration.
  static int CALLBACK EnumFamilyNames(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type,
                                      LPARAM chooser);
  static int CALLBACK EnumFamilySizes(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type,
                                      LPARAM chooser);
};
