// XConsole: the place the view stands at, taken and gone back to, for an owner that shows other
// lines of the store in between.
#include <algorithm>

#include "console/scroll_arithmetic.h"
#include "console/x_console.h"

ConsolePlace XConsole::CurrentPlace() const {
  ConsolePlace place;
  int target = 0;
  const int lines = int(std::min<uint32_t>(text.LastShownIndex(), 0x3FFFFFFF));
  place.atEnd = view.visibleRows <= 0 || !console_scroll::EndTarget(lines, vPos, view.visibleRows, &target);
  const uint32_t top = text.ShownLine(uint32_t(std::max(vPos, 0)));
  place.topLine = text.frontLine + (top <= text.lineCount ? top : text.lineCount);
  place.hPos = hPos;
  const Selection& selection = text.selection;
  if (selection.state == Selection::kFinished) {
    place.selected = true;
    place.selectionLo = text.frontPosition + uint32_t(std::min(selection.anchor.offset, selection.end.offset));
    place.selectionHi = text.frontPosition + uint32_t(std::max(selection.anchor.offset, selection.end.offset));
  }
  return place;
}

void XConsole::GoTo(const ConsolePlace& place) {
  text.selection.Reset();
  view.ForgetRows();
  UpdateVScrollRange();
  UpdateHScrollRange();
  if (place.selected && place.selectionLo >= text.frontPosition && place.selectionHi < text.frontPosition + text.used) {
    SelectRange(int32_t(place.selectionLo - text.frontPosition), int32_t(place.selectionHi - text.frontPosition));
  }
  if (place.atEnd) {
    ScrollToEnd();
  } else {
    const uint32_t line = place.topLine > text.frontLine ? uint32_t(std::min<uint64_t>(place.topLine - text.frontLine, text.lineCount)) : 0;
    ScrollToLine(int(text.ShownLinesBefore(text.NextShownLine(line))));
    ScrollToColumn(place.hPos);
  }
  Invalidate();
}
