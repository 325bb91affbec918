// TextView: building display rows, the row pass of a paint, and the hit-test cell walk.
#include "console/text_view.h"

#include <algorithm>

namespace {

constexpr uint8_t kTab = 0x09;
constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kCr = 0x0D;
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int32_t kInitialRowCapacity = 100;
// The row buffers start at 4 cells per byte of the wrap column (hex codes) plus 32, as far as
// this many cells; wider rows grow them on demand.
constexpr size_t kInitialRowCellLimit = 1 << 16;

// Lead bytes of Shift-JIS: a cell holding one starts a two-cell character when drawing from a
// horizontal scroll position (fixed whatever the code page, as the font draws them so).
bool IsTwoCellLead(uint8_t cell) { return (cell >= 0x81 && cell <= 0x9F) || (cell >= 0xE0 && cell <= 0xFC); }

// Cells of a byte at cell position column: four for a control byte in hex mode (its hex code), a
// tab to the next stop, one otherwise.
int32_t ByteCells(uint8_t byte, int32_t column, bool hex, int32_t tab) {
  if (hex && byte < 0x20) return 4;
  if (byte == kTab) return tab - column % tab;
  return 1;
}

size_t InitialRowCells(uint32_t wrapColumn) {
  return std::min<size_t>(size_t(wrapColumn) * 4 + 32, kInitialRowCellLimit);
}

}  // namespace

void TextView::Attach(void* consoleWindow, const TextStore& store, const ConsoleSettings& consoleSettings) {
  if (window || !consoleWindow) return;
  window = consoleWindow;
  text = &store;
  settings = &consoleSettings;
  visibleColumns = visibleRows = caretX = caretY = 0;
  lastRow = 0;
  rowCapacity = kInitialRowCapacity;
  rows.assign(size_t(rowCapacity), RowSpan());
  rowBufferWidth = std::max(consoleSettings.wrapColumn, 1);
  EnsureRowBuffers(InitialRowCells(uint32_t(rowBufferWidth)));
}

void TextView::Release() {
  rows = std::vector<RowSpan>();
  rowChars = std::vector<Cell>();
  rowColours = std::vector<uint8_t>();
  rowCapacity = 0;
  rowBufferWidth = 0;
  lastRow = 0;
}

void TextView::ForgetRows() {
  std::fill(rows.begin(), rows.end(), RowSpan());
  lastRow = 0;
}

void TextView::EnsureRowBuffers(size_t cells) {
  if (rowChars.size() >= cells) return;
  const size_t size = std::max(cells, rowChars.size() * 2);
  rowChars.resize(size);
  rowColours.resize(size);
}

uint32_t TextView::WrapColumn() const {
  // The store's column is the one in force: a settings value of 0 or below never reaches it.
  return text && text->wrapColumn ? text->wrapColumn : 1;
}

int32_t TextView::TabCells() const { return std::min(std::max(settings->tabSize, 1), kMaxTabCells); }

int32_t TextView::CellsOf(uint8_t byte, int32_t column) const {
  return ByteCells(byte, column, settings->hexMode == 1, TabCells());
}

TextView::LaidCharacter TextView::LayCharacter(uint32_t offset, uint32_t end, int32_t column) const {
  const StoredCharacter stored = text->CharacterAt(offset, end);
  LaidCharacter laid;
  laid.bytes = int32_t(stored.bytes);
  laid.units = int32_t(stored.cells);
  laid.codePoint = stored.codePoint;
  laid.cells = stored.bytes == 1 ? CellsOf(text->At(offset), column) : int32_t(stored.cells);
  return laid;
}

TextView::LaidCharacter TextView::LeadCharacter(const std::string& lead, size_t at, int32_t column) const {
  const auto* data = reinterpret_cast<const uint8_t*>(lead.data());
  LaidCharacter laid;
  laid.codePoint = data[at];
  if (text && text->utf8) {
    const code_page::Utf8Character c = code_page::Utf8At(data, lead.size(), at);
    if (c.bytes > 1) {
      laid.bytes = int32_t(c.bytes);
      laid.cells = laid.units = int32_t(code_page::Utf8Cells(c, text->ambiguousWide));
      laid.codePoint = c.codePoint;
      return laid;
    }
  }
  laid.cells = CellsOf(data[at], column);
  return laid;
}

const std::string& TextView::LeadOf(uint32_t line) const {
  lead_.clear();
  if (gutter && text && text->HasArrays() && line <= text->lineCount && text->LineEnd(line) > text->LineStart(line)) {
    gutter->Append(*text, line, lead_);
  }
  return lead_;
}

int32_t TextView::LeadCells(const std::string& lead) const {
  int32_t cells = 0;
  for (size_t at = 0; at < lead.size();) {
    const LaidCharacter c = LeadCharacter(lead, at, cells);
    cells += c.cells;
    at += size_t(c.bytes);
  }
  return cells;
}

int32_t TextView::GutterCells() const {
  if (!gutter || !text || !settings) return 0;
  const uint32_t widest = gutter->Widest(*text);
  // Control bytes in hex mode take four cells; the text's tabs may reach one stop further.
  return widest == 0 ? 0 : int32_t(std::min<uint32_t>(widest, 1u << 16)) * 4 + TabCells();
}

size_t TextView::CopyDrawn(uint32_t offset, uint32_t length, uint8_t* out) const {
  if (!text || !text->HasArrays() || length == 0 || offset >= text->used) return 0;
  const TextStore& store = *text;
  const uint32_t end = uint32_t(std::min<uint64_t>(uint64_t(offset) + length, store.used));
  size_t given = 0;
  for (uint32_t line = store.LineAt(offset); line <= store.lineCount; ++line) {
    const uint32_t lineStart = store.LineStart(line);
    if (lineStart >= end) break;
    if (!store.LineShown(line)) continue;
    const uint32_t from = std::max(lineStart, offset);
    const uint32_t to = std::min(store.LineEnd(line), end);
    if (from == lineStart && to > from) {
      const std::string& lead = LeadOf(line);
      if (out) std::copy(lead.begin(), lead.end(), out + given);
      given += lead.size();
    }
    if (to > from) {
      if (out) store.CopyOut(from, to - from, out + given);
      given += to - from;
    }
  }
  return given;
}

int32_t TextView::BuildRow(int32_t count, int32_t start, int32_t* cellCount, uint8_t highlight,
                           const std::string* lead) {
  *cellCount = 0;
  if (!text || !settings || !text->HasArrays() || start < 0 || uint32_t(start) >= text->used) return 0;
  count = int32_t(std::min<int64_t>(count, int64_t(text->used) - start));  // only stored bytes
  if (count <= 0) return 0;
  const TextPieces bytes = text->Pieces(uint32_t(start), uint32_t(count));
  const Selection& selection = text->selection;
  int64_t lo = 1, hi = 0;  // nothing selected
  if (selection.state == Selection::kDragging || selection.state == Selection::kFinished) {
    lo = std::min(selection.anchor.offset, selection.end.offset);
    hi = std::max(selection.anchor.offset, selection.end.offset);
  }
  const int64_t wrap = WrapColumn();
  const bool hex = settings->hexMode == 1;
  const uint8_t marked = highlight != 0 && highlight <= kMaxHighlights ? uint8_t(kCellHighlight + highlight - 1) : 0;
  int32_t cells = 0;
  const bool utf8 = text->utf8;
  if (lead && !lead->empty()) {
    // The gutter is selected with the line's first byte, as Copy takes it.
    const bool selected = lo <= start && start <= hi;
    const uint8_t colour = selected ? uint8_t(kCellSelected) : marked ? marked : uint8_t(kCellNormal);
    for (size_t at = 0; at < lead->size();) {
      const LaidCharacter c = LeadCharacter(*lead, at, cells);
      const int32_t n = c.cells;
      EnsureRowBuffers(size_t(cells) + size_t(n));
      if (c.bytes > 1) {  // a character of UTF-8: its second cell, if any, says so
        rowChars[size_t(cells)] = c.codePoint;
        if (n == 2) rowChars[size_t(cells) + 1] = kSecondCell;
      } else {  // a byte: a tab's cells blank, as control codes
        std::fill(rowChars.data() + cells, rowChars.data() + cells + n, c.codePoint < 0x20 ? U' ' : c.codePoint);
      }
      std::fill(rowColours.data() + cells, rowColours.data() + cells + n, colour);
      cells += n;
      at += size_t(c.bytes);
    }
  }
  const int32_t leadCells = cells;
  int32_t i = 0;
  int64_t units = 0;  // what the wrap column counts: cells before tabs and hex codes
  while (i < count) {
    const LaidCharacter c = LayCharacter(uint32_t(start + i), uint32_t(start + count), cells);
    // A row holds at most the wrap column's units and never part of a character, unless that
    // character is the row's first.
    if (i > 0 && units + c.units > wrap) break;
    const int32_t n = c.cells;
    if (cells + n > kMaxRowCells + leadCells && i > 0) break;  // only absurd wrap columns come here
    const uint8_t byte = bytes[uint32_t(i)];
    const bool selected = lo <= start + i && start + i <= hi;
    EnsureRowBuffers(size_t(cells) + size_t(n));
    char32_t* chars = rowChars.data() + cells;
    uint8_t* colours = rowColours.data() + cells;
    if (c.bytes == 1 && hex && byte < 0x20) {
      chars[0] = U'<';
      chars[1] = char32_t(kHexDigits[byte / 16]);
      chars[2] = char32_t(kHexDigits[byte % 16]);
      chars[3] = U'>';
      std::fill(colours, colours + 4, selected ? uint8_t(kCellSelected) : marked ? marked : uint8_t(kCellHex));
    } else {
      if (c.bytes == 1) {
        char32_t shown = (byte == kTab || byte == kCr || byte == kLf) ? U' ' : char32_t(byte);
        if (utf8 && byte >= 0x80) shown = U'\uFFFD';  // a byte that is no character
        std::fill(chars, chars + n, shown);
      } else if (!utf8) {
        chars[0] = byte;  // a double-byte character: its lead and trail byte, as the font draws them
        chars[1] = bytes[uint32_t(i + 1)];
      } else {
        chars[0] = c.codePoint;
        if (n == 2) chars[1] = kSecondCell;
      }
      std::fill(colours, colours + n, selected ? uint8_t(kCellSelected) : marked ? marked : uint8_t(kCellNormal));
    }
    cells += n;
    i += c.bytes;
    units += c.units;
  }
  *cellCount = cells;
  return i;
}

int32_t TextView::VisibleCells(int from, int to, int cellSize) {
  if (cellSize <= 0) return 0;
  return std::max(0, (to - from - 1 + cellSize) / cellSize);
}

int32_t TextView::CurrentLineEndCell() const {
  if (!text || !text->HasArrays() || text->CurrentLineLength() == 0) return 0;
  const ByteLocation last = Locate(int32_t(text->used - 1));
  return last.line < 0 ? 0 : last.cell + last.cells;
}

void TextView::Paint(const RowPassFrame& frame, RowPainter& painter) {
  if (!window || !text || !settings || frame.charWidth <= 0 || frame.lineHeight <= 0) return;
  const int cw = frame.charWidth;
  const int lh = frame.lineHeight;
  visibleColumns = VisibleCells(frame.left, frame.right, cw);
  visibleRows = VisibleCells(frame.top, frame.bottom, lh);
  lastRow = 0;
  if (rowCapacity < visibleRows) {
    rowCapacity = 2 * visibleRows;
    rows.assign(size_t(rowCapacity), RowSpan());
  }
  if (rowBufferWidth < settings->wrapColumn) {
    rowBufferWidth = settings->wrapColumn;
    EnsureRowBuffers(InitialRowCells(uint32_t(rowBufferWidth)));
  }
  caretX = -2 * cw;  // off the left edge, where the caret cannot be seen
  caretY = 0;

  const TextStore& store = *text;
  const bool hasText = store.HasArrays();
  uint32_t nextLine = hasText ? store.ShownLine(uint32_t(std::max(frame.vPos, 0))) : 0;
  int64_t segStart = 0, segEnd = 0;  // the part of a line not yet shown
  std::string segLead;               // the gutter of the line, before its first row
  bool segIsCurrent = false;
  uint8_t segHighlight = 0;
  int y = frame.top;
  for (int j = 0; j < visibleRows; ++j, y += lh) {
    rows[j] = RowSpan();
    int x = frame.left;
    bool showsCurrent = segIsCurrent && segStart < segEnd;
    if (segStart >= segEnd && hasText && nextLine <= store.lineCount) {
      segStart = store.LineStart(nextLine);
      segEnd = store.LineEnd(nextLine);
      segIsCurrent = showsCurrent = nextLine == store.lineCount;
      segHighlight = store.HighlightOf(nextLine);
      segLead = LeadOf(nextLine);
      nextLine = store.NextShownLine(nextLine + 1);
    }
    int32_t cells = 0;  // of this row: the caret stands after them on the current line
    if (segStart < segEnd) {
      const int32_t used = BuildRow(int32_t(segEnd - segStart), int32_t(segStart), &cells, segHighlight, &segLead);
      rows[j] = RowSpan{int32_t(segStart), used, LeadCells(segLead)};
      segLead.clear();  // the line's later rows have none
      lastRow = j;
      segStart += used;
      if (frame.hPos < cells) {
        int first = frame.hPos;
        // When the first visible cell is the second half of a two-cell character, draw that
        // character from one cell further left; the margin clips its left half.
        for (int c = 0; c < frame.hPos;) {
          if (text->utf8 ? c + 1 < cells && rowChars[size_t(c) + 1] == kSecondCell : IsTwoCellLead(uint8_t(rowChars[c]))) {
            if (c + 1 == frame.hPos) {
              first = c;
              x -= cw;
            }
            c += 2;
          } else {
            ++c;
          }
        }
        // Runs starting right of the text area would be clipped whole: they are not drawn.
        for (int a = first; a < cells && x < frame.right;) {
          int b = a + 1;
          while (b < cells && rowColours[b] == rowColours[a]) ++b;
          x += painter.DrawRun(x, y, rowChars.data() + a, b - a, rowColours[a]);
          a = b;
        }
      }
    }
    if (showsCurrent && std::max(frame.hPos, 0) <= cells &&
        x < frame.right - cw && y < frame.bottom - lh) {
      caretX = x;
      caretY = y;
    }
    if (x < frame.right) painter.FillEmpty(x, y, frame.right, lh);
  }
}

int32_t TextView::WalkCells(const RowSpan& span, int32_t targetCell, int32_t* cellsWalked,
                            bool* reached) const {
  *cellsWalked = 0;
  *reached = false;
  if (!text || !settings || !text->HasArrays() || span.start < 0) return -1;
  const int64_t end = std::min<int64_t>(int64_t(span.start) + span.length, text->used);
  if (end <= span.start) return -1;  // a row of the last paint whose bytes went since
  if (targetCell < span.lead) {
    // A point in the gutter stands for the line's first byte.
    *cellsWalked = span.lead;
    *reached = true;
    return span.start;
  }
  int32_t cells = span.lead;
  for (int64_t p = span.start; p < end;) {
    const LaidCharacter c = LayCharacter(uint32_t(p), uint32_t(end), cells);
    if (p + c.bytes >= end) break;  // the span's last character
    cells += c.cells;
    if (cells > targetCell) {
      *cellsWalked = cells;
      *reached = true;
      return int32_t(p);
    }
    p += c.bytes;
  }
  *cellsWalked = cells;
  return int32_t(end - 1);
}

HitResult TextView::HitTest(int x, int y, int charWidth, int lineHeight, int hPos) const {
  HitResult hit;
  if (charWidth <= 0 || lineHeight <= 0) return hit;
  hit.column = x >= leftMargin ? (x - leftMargin) / charWidth : -1;
  if (y >= topMargin) {
    hit.row = (y - topMargin) / lineHeight;
  } else {
    hit.row = 0;
    hit.leftRow = 0;
  }
  if (hit.column < 0) {
    hit.column = 0;
    hit.leftRow = hit.row;
  }
  if (rows.empty()) return hit;
  const int32_t k = std::min(hit.row, std::min(lastRow, int32_t(rows.size()) - 1));
  const RowSpan& span = rows[size_t(k)];
  if (hit.row > k) {
    hit.row = k;
    hit.column = visibleColumns;
    hit.pastRow = k;
  }
  int32_t walked = 0;
  bool reached = false;
  const int64_t target = int64_t(hPos) + hit.column;
  const int32_t clampedTarget = int32_t(std::min<int64_t>(target, 0x7FFFFFFF));
  hit.offset = WalkCells(span, clampedTarget, &walked, &reached);
  if (!reached && walked < target) hit.pastRow = hit.row;
  return hit;
}

int32_t TextView::LineCells(uint32_t line) const {
  if (!text || !settings || !text->HasArrays() || line > text->lineCount) return 0;
  const TextStore& store = *text;
  const int64_t lineEnd = store.LineEnd(line);
  const int64_t wrap = WrapColumn();
  const uint32_t lineStart = store.LineStart(line);
  const int64_t length = lineEnd - lineStart;
  if (length <= wrap && length * kMaxTabCells <= kMaxRowCells) {
    // One row holds the whole line (no character reaches past the wrap column, no row its cell
    // bound): the cells of every byte, read straight from the ring.
    const TextPieces bytes = store.Pieces(lineStart, uint32_t(length));
    const bool hex = settings->hexMode == 1;
    const int32_t tab = TabCells();
    int32_t cells = 0;
    bool plain = true;  // UTF-8 text of ASCII alone: a byte is a character
    for (uint32_t i = 0; i < bytes.firstLength; ++i) {
      cells += ByteCells(bytes.first[i], cells, hex, tab);
      plain = plain && bytes.first[i] < 0x80;
    }
    for (uint32_t i = 0; i < bytes.secondLength; ++i) {
      cells += ByteCells(bytes.second[i], cells, hex, tab);
      plain = plain && bytes.second[i] < 0x80;
    }
    if (!store.utf8 || plain) return cells;
  }
  int32_t widest = 0;
  // A line stored before a smaller wrap column has several rows.
  for (int32_t rowStart = int32_t(store.LineStart(line)); rowStart < lineEnd;) {
    const RowWalk row = WalkRow(rowStart, lineEnd, wrap, -1);
    widest = std::max(widest, row.cells);
    rowStart += std::max(row.bytes, 1);  // a row takes at least its first byte
  }
  return widest;
}

TextView::RowWalk TextView::WalkRow(int32_t rowStart, int64_t lineEnd, int64_t wrap, int32_t offset,
                                    int32_t lead) const {
  RowWalk row;
  row.cells = lead;
  int64_t units = 0;
  const int32_t count = int32_t(lineEnd - rowStart);
  while (row.bytes < count) {
    const LaidCharacter c = LayCharacter(uint32_t(rowStart + row.bytes), uint32_t(lineEnd), row.cells);
    if (row.bytes > 0 && units + c.units > wrap) break;
    if (row.cells + c.cells > kMaxRowCells + lead && row.bytes > 0) break;
    if (offset >= rowStart + row.bytes && offset < rowStart + row.bytes + c.bytes) {
      row.found = true;
      row.foundCells = c.cells;
      if (!text->utf8 && offset > rowStart + row.bytes) {
        // The trail byte of a double-byte character shows in its second cell.
        ++row.cells;
        row.foundCells = 1;
      }
      return row;  // cells: where the byte shows
    }
    row.cells += c.cells;
    row.bytes += c.bytes;
    units += c.units;
  }
  return row;
}

ByteLocation TextView::Locate(int32_t offset) const {
  ByteLocation location;
  if (!text || !settings || !text->HasArrays() || offset < 0 || uint32_t(offset) >= text->used) return location;
  const TextStore& store = *text;
  const uint32_t line = store.LineAt(uint32_t(offset));
  if (!store.LineShown(line)) return location;
  location.line = int32_t(store.ShownLinesBefore(line));
  const int64_t lineEnd = store.LineEnd(line);
  const int64_t wrap = WrapColumn();
  int32_t rowStart = int32_t(store.LineStart(line));
  const int32_t lead = LeadCells(LeadOf(line));
  for (int32_t rowInLine = 0;; ++rowInLine) {
    const RowWalk row = WalkRow(rowStart, lineEnd, wrap, offset, rowInLine == 0 ? lead : 0);
    if (row.found) {
      location.rowInLine = rowInLine;
      location.cell = row.cells;
      location.cells = row.foundCells;
      return location;
    }
    if (row.bytes == 0) break;  // cannot happen while the offset lies in the line; never loops forever
    rowStart += row.bytes;
  }
  return ByteLocation();
}
