// FontChooser: enumerating fixed-pitch families and their sizes into the settings page's list boxes.
#include "monitor/settings/font_chooser.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "scoped/scoped_win.h"
#include "monitor/resources/log_settings_ids.h"
#include "monitor/settings/settings_ranges.h"

namespace {

using settings_ranges::kScalableFontSizes;

int CALLBACK WidenToFamilySize(const LOGFONTA* /*font*/, const TEXTMETRICA* metrics, DWORD type, LPARAM rangeParam) {
  auto* range = reinterpret_cast<FontSizeRange*>(rangeParam);
  if (!(type & RASTER_FONTTYPE)) {
    *range = {kScalableFontSizes[0], kScalableFontSizes[std::size(kScalableFontSizes) - 1]};
    return 0;
  }
  const int32_t size = metrics->tmHeight + metrics->tmExternalLeading;
  if (range->low == 0 || size < range->low) range->low = size;
  if (size > range->high) range->high = size;
  return 1;
}

// Text of a list entry; false when the entry does not exist or does not fit.
bool EntryText(HWND list, int index, char (&text)[64]) {
  const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR || length >= static_cast<LRESULT>(sizeof text)) return false;
  return SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text)) != LB_ERR;
}

int Count(HWND list) {
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

// The list's own search ignores letter case; family names are compared byte for byte.
int FindExactText(HWND list, const char* wanted) {
  char text[64];
  for (int index = 0, count = Count(list); index < count; ++index)
    if (EntryText(list, index, text) && std::strcmp(text, wanted) == 0) return index;
  return LB_ERR;
}

int FindSize(HWND list, int size) {
  for (int index = 0, count = Count(list); index < count; ++index)
    if (SendMessageA(list, LB_GETITEMDATA, index, 0) == size) return index;
  return LB_ERR;
}

void AddSize(HWND list, int size) {
  char text[16];
  // "%2d" pads one-digit sizes with a blank, so the text-sorted list is in numeric order.
  std::snprintf(text, sizeof text, "%2d", size);
  const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (index >= 0) SendMessageA(list, LB_SETITEMDATA, index, size);
}

}  // namespace

int FontChooser::Init(HWND dialogWindow, const char* name, int32_t size) {
  if (!dialogWindow || !name || size == 0) return 0;
  fontSize = size;
  dialog = dialogWindow;
  nameListId = IDC_CONFIG_FONT_NAME;
  std::snprintf(fontName, sizeof fontName, "%s", name);

  nameList = GetDlgItem(dialog, nameListId);
  SendMessageA(nameList, LB_RESETCONTENT, 0, 0);
  {
    scoped::WindowDC dc(dialog);
    EnumFontFamiliesA(dc.get(), nullptr, EnumFamilyNames, reinterpret_cast<LPARAM>(this));
  }

  const int stored = FindExactText(nameList, fontName);
  if (stored != LB_ERR) {
    SendMessageA(nameList, LB_SETCURSEL, stored, 0);
  } else {
    // The stored family is not offered: the alphabetically first fixed-pitch family is.
    SendMessageA(nameList, LB_SETCURSEL, 0, 0);
    char first[64];
    if (EntryText(nameList, 0, first)) std::snprintf(fontName, sizeof fontName, "%s", first);
  }

  sizeList = GetDlgItem(dialog, IDC_CONFIG_FONT_SIZE);
  SendMessageA(sizeList, LB_RESETCONTENT, 0, 0);
  FillSizes();
  return 1;
}

void FontChooser::FillSizes() {
  if (!dialog || !sizeList) return;
  SendMessageA(sizeList, LB_RESETCONTENT, 0, 0);
  scoped::WindowDC dc(dialog);
  EnumFontFamiliesA(dc.get(), fontName, EnumFamilySizes, reinterpret_cast<LPARAM>(this));

  // Compared as unsigned: a negative stored size matches no entry.
  for (int index = 0, count = Count(sizeList); index < count; ++index) {
    const auto offered = static_cast<uint32_t>(SendMessageA(sizeList, LB_GETITEMDATA, index, 0));
    if (offered >= static_cast<uint32_t>(fontSize)) {
      // The stored size stays the choice until the user picks one: a size between two offered
      // ones shows the next larger one selected.
      SendMessageA(sizeList, LB_SETCURSEL, index, 0);
      return;
    }
  }
  SendMessageA(sizeList, LB_SETCURSEL, 0, 0);
  const LRESULT first = SendMessageA(sizeList, LB_GETITEMDATA, 0, 0);
  fontSize = first == LB_ERR ? 0 : static_cast<int32_t>(first);
}

int CALLBACK FontChooser::EnumFamilyNames(const LOGFONTA* font, const TEXTMETRICA* metrics,
                                          DWORD /*type*/, LPARAM chooserParam) {
  auto* chooser = reinterpret_cast<FontChooser*>(chooserParam);
  if (!chooser) return 0;
  // '@' names are the vertical-writing variants; a set TMPF_FIXED_PITCH bit means variable pitch.
  if (font->lfFaceName[0] == '@' || (metrics->tmPitchAndFamily & TMPF_FIXED_PITCH)) return 1;
  // Wine reports a family once per character set: list each name once.
  if (FindExactText(chooser->nameList, font->lfFaceName) != LB_ERR) return 1;
  const LRESULT index =
      SendMessageA(chooser->nameList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(font->lfFaceName));
  if (index >= 0) SendMessageA(chooser->nameList, LB_SETITEMDATA, index, 0);
  return 1;
}

int CALLBACK FontChooser::EnumFamilySizes(const LOGFONTA* /*font*/, const TEXTMETRICA* metrics,
                                          DWORD type, LPARAM chooserParam) {
  auto* chooser = reinterpret_cast<FontChooser*>(chooserParam);
  if (!chooser) return 0;
  if (!(type & RASTER_FONTTYPE)) {
    for (int32_t size : kScalableFontSizes) AddSize(chooser->sizeList, size);
    return 0;  // a scalable family offers the same sizes whatever its other entries
  }
  const int size = metrics->tmHeight + metrics->tmExternalLeading;
  if (FindSize(chooser->sizeList, size) == LB_ERR) AddSize(chooser->sizeList, size);
  return 1;
}

FontSizeRange OfferedFontSizes(const char* family) {
  FontSizeRange range = {0, 0};
  {
    scoped::WindowDC dc(nullptr);
    EnumFontFamiliesA(dc.get(), family, WidenToFamilySize, reinterpret_cast<LPARAM>(&range));
  }
  if (range.low == 0) range = {kScalableFontSizes[0], kScalableFontSizes[std::size(kScalableFontSizes) - 1]};
  return range;
}
