// TextView: the row layout of the console (display cells, row table, caret) and hit testing.
// Portable: no Windows header. The window is held as an opaque pointer and the drawing goes
// through RowPainter, which the Win32 layer implements with GDI and tests implement in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "console/console_settings.h"
#include "console/line_gutter.h"
#include "console/text_store.h"

// The stored bytes one display row shows: start is -1 for a row without text. The first row of a
// line may begin with cells of its gutter (lead), before its first byte.
struct RowSpan {
  int32_t start = -1;
  int32_t length = 0;
  int32_t lead = 0;
};

// Colour index of a display cell: the colour pair of ConsoleSettings it is drawn with.
// Highlight colour pair n (from 1) of a message is index kCellHighlight + n - 1.
enum CellColour : uint8_t { kCellNormal = 0, kCellHex = 1, kCellSelected = 2, kCellHighlight = 4 };
constexpr int kMaxHighlights = 250;

// Margins of the text area inside the client rectangle, in pixels at 96 DPI.
constexpr int kConsoleLeftMargin = 4;
constexpr int kConsoleTopMargin = 2;

// Guards for settings values the settings sheet never produces: a tab never expands beyond
// kMaxTabCells cells and a row never holds more than kMaxRowCells cells, so the row buffers
// stay bounded whatever tabSize and wrapColumn say.
constexpr int32_t kMaxTabCells = 256;
constexpr int32_t kMaxRowCells = 1 << 22;

// What a display cell holds: a code point (in double-byte text, a byte), or kSecondCell for the
// second cell of a character that takes two, which the first cell draws.
using Cell = char32_t;
constexpr Cell kSecondCell = 0xFFFFFFFFu;

// Destination of the row pass. DrawRun draws count cells of one colour index at (x, y) and
// returns their width in pixels; FillEmpty fills x .. right over one row height with normalBack.
class RowPainter {
 public:
  virtual ~RowPainter() = default;
  virtual int DrawRun(int x, int y, const Cell* cells, int count, int colourIndex) = 0;
  virtual void FillEmpty(int x, int y, int right, int height) = 0;
};

// Everything one row pass needs besides the store: the text area, scroll position and metrics.
struct RowPassFrame {
  int left = 0, top = 0, right = 0, bottom = 0;  // the text area in client pixels
  int hPos = 0, vPos = 0;
  int charWidth = 0, lineHeight = 0;
};

// Where a client point falls: cell {column, row} and the outside-zone markers (-1 when not
// outside): leftRow when left of the text area or above it, pastRow when below the last row
// with text or right of the row's text.
struct HitResult {
  int32_t offset = -1;  // byte offset in the store, -1 when the point maps to none
  int32_t column = 0;
  int32_t row = 0;
  int32_t leftRow = -1;
  int32_t pastRow = -1;
};

// Where a stored byte shows: its line of the store, the display row of that line it falls in
// (0 unless the line is longer than a row, as lines stored before a smaller wrap column are), and
// its first cell and cell count in that row. line is -1 for an offset outside the stored bytes.
struct ByteLocation {
  int32_t line = -1;
  int32_t rowInLine = 0;
  int32_t cell = 0;
  int32_t cells = 0;
};

class TextView {
 public:
  TextView() = default;
  TextView(const TextView&) = delete;
  TextView& operator=(const TextView&) = delete;

  void* window = nullptr;  // the console window (HWND); painting does nothing while null
  int32_t hasFocus = 0;
  const TextStore* text = nullptr;
  const ConsoleSettings* settings = nullptr;
  // What is drawn before each line's text; null: nothing.
  const LineGutter* gutter = nullptr;
  int32_t visibleColumns = 0;
  int32_t visibleRows = 0;
  // The text area's margins inside the client rectangle, scaled with the display (see SetDpi).
  int leftMargin = kConsoleLeftMargin;
  int topMargin = kConsoleTopMargin;
  int32_t caretX = 0;
  int32_t caretY = 0;
  int32_t lastRow = 0;
  int32_t rowCapacity = 0;      // entries of rows
  std::vector<RowSpan> rows;    // one entry per visible row of the last paint
  int32_t rowBufferWidth = 0;   // the wrap column the row buffers were first sized for
  std::vector<Cell> rowChars;       // display cells of the row being built; grows as needed
  std::vector<uint8_t> rowColours;  // colour index of each cell

  // Window creation: takes the window, the store and the settings, 100 row entries and row
  // buffers for the settings' wrap column. Does nothing when a window is already attached.
  void Attach(void* consoleWindow, const TextStore& store, const ConsoleSettings& consoleSettings);
  // Releases the row table and row buffers.
  void Release();
  // Forgets the row table of the last paint (its offsets are stale after the store changed).
  void ForgetRows();

  // Converts up to count stored bytes from offset start into rowChars/rowColours; returns the
  // bytes used and sets cellCount. The buffers grow when tabs expand beyond their size. A
  // highlight (colour pair number, 0 for none) colours every cell not selected. With a lead, the
  // row begins with its cells (the line's gutter, selected with the line's first byte) and the
  // bytes' cells follow them.
  int32_t BuildRow(int32_t count, int32_t start, int32_t* cellCount, uint8_t highlight = 0,
                   const std::string* lead = nullptr);

  // The gutter of stored line k as drawn now: empty without a gutter or for a line without bytes.
  // Valid until the next call.
  const std::string& LeadOf(uint32_t line) const;
  // The cells a lead takes at a row's start.
  int32_t LeadCells(const std::string& lead) const;

  // The stored bytes offset .. offset + length - 1 as drawn, written to out (nothing written when
  // out is null): the lines of hidden messages left out, and the gutter of every line whose
  // first byte is among them before that byte. Returns the bytes it gives.
  size_t CopyDrawn(uint32_t offset, uint32_t length, uint8_t* out) const;

  // The whole and partly visible columns and rows of a text area (0 for an empty or unmeasured one).
  static int32_t VisibleCells(int from, int to, int cellSize);

  // The cell just past the end of the current line's last row, as BuildRow lays it out (tabs
  // expanded, four cells per control byte in hex mode): where the caret and the end of the text are.
  int32_t CurrentLineEndCell() const;

  // The row pass of a paint over the text area: fills rows/lastRow/visible sizes and the caret
  // position, drawing through painter. Does nothing without a window, store or settings.
  void Paint(const RowPassFrame& frame, RowPainter& painter);

  // Maps a client point to a stored byte through the row table of the last paint.
  HitResult HitTest(int x, int y, int charWidth, int lineHeight, int hPos) const;

  // The cell walk of hit testing over one row span, counting cells as BuildRow does but without
  // the span's last byte: the offset of the first byte whose cells reach beyond targetCell
  // (reached true), else the span's last byte, or its start for an empty span (reached false).
  // cellsWalked gets the cells counted. Only bytes below the store's used count are walked.
  int32_t WalkCells(const RowSpan& span, int32_t targetCell, int32_t* cellsWalked,
                    bool* reached) const;

  // Cells a single-byte character occupies at cell position column of its row (tab expansion, hex
  // codes).
  int32_t CellsOf(uint8_t byte, int32_t column) const;

  // The cells of the widest display row of stored line k (k <= lineCount), as BuildRow lays the
  // rows out without a gutter: tabs expanded to the stops, four cells per control byte in hex
  // mode, one cell per byte otherwise (a double-byte character two). 0 for an empty line or
  // without store/settings.
  int32_t LineCells(uint32_t line) const;
  // The most cells a gutter may add to a row now (its widest lead, and a tab stop that moves).
  int32_t GutterCells() const;

  // Where the byte at offset shows, with the rows laid out as BuildRow lays them out; its line is
  // counted among the shown lines, and a byte of a hidden line shows nowhere.
  ByteLocation Locate(int32_t offset) const;

 private:
  // One character of a row: its bytes, its cells at a column (tabs, hex codes), the units of the
  // wrap column it takes (its cells before tabs and hex codes) and its code point.
  struct LaidCharacter {
    int32_t bytes = 1;
    int32_t cells = 1;
    int32_t units = 1;
    char32_t codePoint = 0;
  };
  LaidCharacter LayCharacter(uint32_t offset, uint32_t end, int32_t column) const;
  // The character at `at` of a gutter text, laid out at a column as the store's characters are.
  LaidCharacter LeadCharacter(const std::string& lead, size_t at, int32_t column) const;
  // One row of a stored line from rowStart, laid out as BuildRow lays it but not drawn: the bytes
  // it takes and its cells; when it holds the byte at `offset`, found, with the cells before that
  // byte and the byte's own.
  struct RowWalk {
    int32_t bytes = 0;
    int32_t cells = 0;
    bool found = false;
    int32_t foundCells = 0;
  };
  RowWalk WalkRow(int32_t rowStart, int64_t lineEnd, int64_t wrap, int32_t offset, int32_t lead = 0) const;
  void EnsureRowBuffers(size_t cells);
  int32_t TabCells() const;  // the settings' tab size within 1 .. kMaxTabCells
  uint32_t WrapColumn() const;
  mutable std::string lead_;  // LeadOf's text
};
