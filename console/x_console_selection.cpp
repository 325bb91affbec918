// XConsole mouse selection and clipboard: hit testing, the selection states, drag scrolling,
// select-all, a selection made by a search and scrolled into view, Copy, Paste.
#include <algorithm>
#include <string>
#include <cstring>
#include <vector>

#include "console/scroll_arithmetic.h"
#include "console/x_console.h"

int XConsole::HitTest(int x, int y, POINT* cell, int* leftRow, int* pastRow) {
  const HitResult hit = view.HitTest(x, y, charWidth, lineHeight, hPos);
  if (cell) {
    cell->x = hit.column;
    cell->y = hit.row;
  }
  if (leftRow) *leftRow = hit.leftRow;
  if (pastRow) *pastRow = hit.pastRow;
  return hit.offset;
}

namespace {

// The display row a hit landed on, for the selection's whole-character snapping.
TextPosition PositionAt(const TextView& view, int32_t offset, int row) {
  TextPosition position;
  position.offset = offset;
  if (row >= 0 && size_t(row) < view.rows.size()) {
    position.rowStart = view.rows[size_t(row)].start;
    position.rowLength = view.rows[size_t(row)].length;
  }
  return position;
}

// Both ends of the selection cover whole double-byte characters: the lower end takes the lead
// byte of a character it falls in, the higher end the trail byte. The anchor is the lower end
// while it does not lie beyond the end.
void SnapSelectionEnds(TextStore& text) {
  Selection& selection = text.selection;
  const bool anchorIsLow = selection.anchor.offset <= selection.end.offset;
  TextPosition& low = anchorIsLow ? selection.anchor : selection.end;
  TextPosition& high = anchorIsLow ? selection.end : selection.anchor;
  low.offset = text.SnapToCharacter(low, true);
  high.offset = text.SnapToCharacter(high, false);
}

}  // namespace

void XConsole::OnLButtonDown(int x, int y) {
  if (window) SetCapture(window);
  bool repaint = false;
  if (text.selection.state != Selection::kNone) {
    text.selection.Reset();
    repaint = true;
  }
  POINT cell = {};
  const int offset = HitTest(x, y, &cell, &downLeftRow, &downPastRow);
  if (text.used > 0 && offset >= 0 && uint32_t(offset) < text.used) {
    text.selection.anchor = text.selection.end = PositionAt(view, offset, cell.y);
    text.selection.state = Selection::kButtonDown;
  } else {
    text.selection.state = Selection::kNone;
  }
  if (repaint) Invalidate();
}

void XConsole::OnMouseMove(int x, int y) {
  Selection& selection = text.selection;
  if (selection.state != Selection::kButtonDown && selection.state != Selection::kDragging) return;
  POINT cell = {};
  int leftRow = -1, pastRow = -1;
  const int offset = HitTest(x, y, &cell, &leftRow, &pastRow);
  if (offset < 0) return;
  const TextPosition here = PositionAt(view, offset, cell.y);
  const bool sameZone = (downLeftRow >= 0 && downLeftRow == leftRow) || (downPastRow >= 0 && downPastRow == pastRow);
  if (sameZone) {
    // Still in the outside zone where the button went down: start over at the pointer.
    if (text.used > 0 && uint32_t(offset) < text.used) {
      selection.anchor = selection.end = here;
      selection.state = Selection::kButtonDown;
    } else {
      selection.state = Selection::kNone;
    }
    Invalidate();
  } else if (uint32_t(offset) < text.used) {
    selection.end = here;
    selection.state = Selection::kDragging;
    SnapSelectionEnds(text);
    Invalidate();
  }
  // Drag scrolling: one cell or line per mouse move outside the client area.
  if (!window) return;
  RECT client = {};
  GetClientRect(window, &client);
  if (x < client.left) ScrollToColumn(hPos - 1);
  if (x >= client.right) ScrollToColumn(hPos + 1);
  if (y < client.top) ScrollToLine(vPos - 1);
  if (y >= client.bottom) ScrollToLine(vPos + 1);
}

void XConsole::OnLButtonUp(int x, int y) {
  ReleaseCapture();
  POINT cell = {};
  const int offset = HitTest(x, y, &cell, nullptr, nullptr);
  Selection& selection = text.selection;
  if (offset >= 0 && selection.state == Selection::kDragging && text.used > 0) {
    // The ends are snapped as at every move: an end left on half a double-byte character would
    // copy a broken character. The anchor too, since the release may lie on the other side of
    // it than the last move did.
    selection.end = PositionAt(view, std::min(offset, int(text.used) - 1), cell.y);
    SnapSelectionEnds(text);
    selection.state = Selection::kFinished;
  } else {
    selection.Reset();
  }
}

void XConsole::SelectAll() {
  if (text.used == 0) return;
  text.selection.anchor.offset = 0;
  text.selection.end.offset = int32_t(text.used - 1);
  text.selection.state = Selection::kFinished;
}

void XConsole::SelectRange(int32_t lo, int32_t hi) {
  if (lo < 0 || hi < lo || uint32_t(hi) >= text.used) return;
  Selection& selection = text.selection;
  selection.Reset();
  selection.anchor.offset = lo;
  selection.end.offset = hi;
  selection.state = Selection::kFinished;
  Reveal(lo, hi);
  Invalidate();
}

void XConsole::Reveal(int32_t lo, int32_t hi) {
  const ByteLocation first = view.Locate(lo);
  const ByteLocation last = view.Locate(hi);
  if (first.line < 0 || last.line < 0) return;
  // The last row and column of the view may show in part: only whole ones count as shown.
  const int rows = std::max(view.visibleRows - 1, 1);
  const int columns = std::max(view.visibleColumns - 1, 1);
  int target = 0;
  // The vertical scroll unit is the line; the few lines longer than a row (stored before a
  // smaller wrap column) count as one row here.
  if (console_scroll::RevealTarget(first.line, last.line + 1, vPos, rows, &target)) ScrollToLine(target);
  // A text that runs on into the next row: its start is what must show.
  const bool oneRow = first.line == last.line && first.rowInLine == last.rowInLine;
  const int end = oneRow ? last.cell + last.cells : first.cell + first.cells;
  if (console_scroll::RevealTarget(first.cell, end, hPos, columns, &target)) ScrollToColumn(target);
}

bool XConsole::RangeRect(int32_t lo, int32_t hi, RECT* rect) const {
  const ByteLocation first = view.Locate(lo);
  const ByteLocation last = view.Locate(hi);
  if (first.line < 0 || last.line < 0 || charWidth <= 0 || lineHeight <= 0) return false;
  const bool oneRow = first.line == last.line && first.rowInLine == last.rowInLine;
  const int end = oneRow ? last.cell + last.cells : first.cell + first.cells;
  rect->left = view.leftMargin + (first.cell - hPos) * charWidth;
  rect->right = view.leftMargin + (end - hPos) * charWidth;
  rect->top = view.topMargin + (first.line - vPos) * lineHeight;
  rect->bottom = rect->top + lineHeight;
  return true;
}

int XConsole::Copy() {
  Selection& selection = text.selection;
  if (selection.state != Selection::kFinished) return 0;
  const int64_t lo = std::max(0, std::min(selection.anchor.offset, selection.end.offset));
  const int64_t hi = std::min<int64_t>(std::max(selection.anchor.offset, selection.end.offset), int64_t(text.used) - 1);
  if (lo <= hi && text.HasArrays()) {
    const auto n = uint32_t(hi - lo + 1);
    // As drawn: the lines of hidden messages left out, each line's gutter before its text.
    const size_t drawn = view.CopyDrawn(uint32_t(lo), n, nullptr);
    scoped::GlobalMemory memory(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, drawn + 1);
    scoped::GlobalLock lock(memory.get());
    char* out = static_cast<char*>(lock.data());
    if (!out) return -1;
    const size_t copied = view.CopyDrawn(uint32_t(lo), n, reinterpret_cast<uint8_t*>(out));
    std::replace(out, out + copied, '\0', ' ');  // NUL bytes as spaces
    out[copied] = '\0';
    // Given as Unicode text, which the system gives every program in the form it asks for (it
    // derives CF_TEXT): the console's UTF-8, each byte that is no character made U+FFFD.
    const int units = MultiByteToWideChar(CP_UTF8, 0, out, int(copied) + 1, nullptr, 0);
    if (units <= 0) return -1;
    scoped::GlobalMemory wide(GMEM_MOVEABLE | GMEM_DDESHARE, size_t(units) * sizeof(wchar_t));
    scoped::GlobalLock wideLock(wide.get());
    if (!wideLock.data() || MultiByteToWideChar(CP_UTF8, 0, out, int(copied) + 1, static_cast<wchar_t*>(wideLock.data()),
                                                units) != units) {
      return -1;
    }
    wideLock.unlock();
    lock.unlock();
    // Another program may hold the clipboard open: nothing is copied, and the selection stays
    // so that the user can try again.
    scoped::Clipboard clipboard(window);
    if (!clipboard.opened() || !EmptyClipboard()) return -1;
    if (!SetClipboardData(CF_UNICODETEXT, wide.get())) return -1;
    wide.release();  // the clipboard owns it now
  }
  selection.Reset();
  Invalidate();
  return 1;
}

int XConsole::Paste() {
  if (settings.readOnly == 1) return 0;
  scoped::Clipboard clipboard(window);
  if (!clipboard.opened()) return 0;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return 1;  // no text: nothing changes, a finished selection stays ready for Copy
  {
    std::vector<char> converted;
    {
      scoped::GlobalLock lock(data);
      const auto* in = static_cast<const wchar_t*>(lock.data());
      // Another program's block may lack its NUL: read no further than the block goes.
      const size_t size = in ? size_t(GlobalSize(data)) / sizeof(wchar_t) : 0;
      const size_t length = size_t(std::find(in, in + size, L'\0') - in);
      const int bytes = length > 0 ? WideCharToMultiByte(CP_UTF8, 0, in, int(length), nullptr, 0, nullptr, nullptr) : 0;
      std::string utf8(size_t(std::max(bytes, 0)), '\0');
      if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, in, int(length), &utf8[0], bytes, nullptr, nullptr);
      if (!utf8.empty()) {
        converted.reserve(utf8.size() + size_t(std::count(utf8.begin(), utf8.end(), '\r')) +
                          size_t(std::count(utf8.begin(), utf8.end(), '\n')) + 1);
        for (size_t i = 0; i < utf8.size(); ++i) {
          const char c = utf8[i];
          if (c != '\r' && c != '\n') {
            converted.push_back(c);
            continue;
          }
          // CR, LF, CR LF and LF CR are each one line break.
          const char next = i + 1 < utf8.size() ? utf8[i + 1] : '\0';
          if ((next == '\r' || next == '\n') && next != c) ++i;
          switch (settings.newlineMode) {
            case 0: converted.push_back('\r'); break;
            case 1: converted.push_back('\n'); break;
            default: converted.push_back('\r'); converted.push_back('\n'); break;
          }
        }
      }
    }
    const int length = int(converted.size());
    if (length > 0 && AcceptPaste(converted.data(), length)) Write(converted.data(), length, 0);
  }
  text.selection.Reset();
  return 1;
}

int XConsole::AcceptPaste(const char*, int) { return 1; }
