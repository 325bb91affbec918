// XConsole painting: the console font and its metrics, margins, the GDI side of the row pass,
// the caret position and the scroll bars' page sizes.
#include <algorithm>
#include <cstring>

#include "scoped/scoped_win.h"
#include "console/x_console.h"

namespace {

// Draws the row pass's runs with ExtTextOutW, each character at the cells it takes and through
// the font that has its glyph, setting colours only when they change.
class GdiRowPainter : public RowPainter {
 public:
  GdiRowPainter(HDC dc, const ConsoleSettings& settings, const std::vector<XConsole::HighlightColours>& highlights,
                HBRUSH emptyBrush, int charWidth, int lineHeight, bool fontKeepsCells, FontFallback& fallback)
      : dc_(dc), settings_(settings), highlights_(highlights), emptyBrush_(emptyBrush),
        textColour_(GetTextColor(dc)), backColour_(GetBkColor(dc)), charWidth_(charWidth), lineHeight_(lineHeight),
        fontKeepsCells_(fontKeepsCells), fallback_(fallback) {}

  // The cells of the character in cell i: two when the next is its second.
  static int CellsAt(const Cell* cells, int count, int i) { return i + 1 < count && cells[i + 1] == kSecondCell ? 2 : 1; }

  int DrawRun(int x, int y, const Cell* cells, int count, int colourIndex) override {
    COLORREF textColour = settings_.Colour(colourIndex, false);
    COLORREF backColour = settings_.Colour(colourIndex, true);
    const size_t highlight = size_t(colourIndex - kCellHighlight);
    if (colourIndex >= kCellHighlight && highlight < highlights_.size()) {
      textColour = highlights_[highlight].text;
      backColour = highlights_[highlight].back;
    }
    if (textColour != textColour_) {
      SetTextColor(dc_, textColour);
      textColour_ = textColour;
    }
    if (backColour != backColour_) {
      SetBkColor(dc_, backColour);
      backColour_ = backColour;
    }
    // Pieces of characters that one font draws.
    int cellX = x;
    for (int a = 0; a < count;) {
      HFONT font = cells[a] == kSecondCell ? nullptr : fallback_.FontFor(dc_, cells[a], CellsAt(cells, count, a));
      units_.clear();
      advances_.clear();
      int b = a;
      bool evenCells = font == nullptr && fontKeepsCells_;  // ASCII in a font whose advance is the cell
      for (; b < count; ++b) {
        const Cell cell = cells[b];
        if (cell == kSecondCell) {
          if (advances_.empty()) {  // a second half alone: blank
            units_.push_back(u' ');
            advances_.push_back(charWidth_);
          } else {
            advances_.back() += charWidth_;
          }
          evenCells = false;
          continue;
        }
        if (b > a && fallback_.FontFor(dc_, cell, CellsAt(cells, count, b)) != font) break;
        if (cell >= 0x80) evenCells = false;
        const size_t before = units_.size();
        code_page::AppendUtf16(units_, cell);
        advances_.push_back(charWidth_);
        if (units_.size() > before + 1) {
          advances_.push_back(0);  // the low surrogate
          evenCells = false;
        }
      }
      // The advances of a pair go on its first unit; its second unit's is 0 (set above). A wide
      // character's second cell was added to the advance of its unit.
      int width = 0;
      for (const int advance : advances_) width += advance;
      RECT cellsRect = {cellX, y, cellX + width, y + lineHeight_};
      scoped::Select selected(dc_, font);
      // One cell per character in a font whose advance is the cell: drawn as the font lays it out,
      // which is the quick way; otherwise each character at its cells, clipped to them.
      ExtTextOutW(dc_, cellX, y, evenCells ? ETO_OPAQUE : ETO_OPAQUE | ETO_CLIPPED, &cellsRect,
                  reinterpret_cast<const wchar_t*>(units_.data()), UINT(units_.size()),
                  evenCells ? nullptr : advances_.data());
      cellX += width;
      a = b;
    }
    return cellX - x;
  }

  void FillEmpty(int x, int y, int right, int height) override {
    RECT rect = {x, y, right, y + height};
    FillRect(dc_, &rect, emptyBrush_);
  }

 private:
  HDC dc_;
  const ConsoleSettings& settings_;
  const std::vector<XConsole::HighlightColours>& highlights_;
  HBRUSH emptyBrush_;
  COLORREF textColour_;
  COLORREF backColour_;
  int charWidth_;
  int lineHeight_;
  bool fontKeepsCells_;
  FontFallback& fallback_;
  std::u16string units_;
  std::vector<INT> advances_;
};

}  // namespace

LOGFONTA XConsole::ConsoleLogFont() const {
  LOGFONTA font = {};
  // The size is kept for 96 DPI; the font is made for the window's DPI.
  font.lfHeight = dpi == 96 || settings.fontSize <= 0
                      ? settings.fontSize
                      : static_cast<LONG>((static_cast<long long>(settings.fontSize) * dpi + 48) / 96);
  font.lfWeight = 0;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfPitchAndFamily = FIXED_PITCH;
  // The settings record may hold a name without its NUL: take at most 31 characters.
  const size_t limit = std::min(sizeof(font.lfFaceName), sizeof(settings.fontName)) - 1;
  const char* name = settings.fontName;
  const size_t length = std::find(name, name + limit, '\0') - name;
  std::memcpy(font.lfFaceName, name, length);
  font.lfFaceName[length] = '\0';
  return font;
}

HFONT XConsole::CreateConsoleFont() const {
  const LOGFONTA font = ConsoleLogFont();
  return CreateFontIndirectA(&font);
}

void XConsole::TakeMetrics(HDC dc) {
  TEXTMETRICA metrics = {};
  if (!GetTextMetricsA(dc, &metrics)) return;
  charWidth = metrics.tmAveCharWidth;
  lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
  // A fixed-pitch font whose narrow characters advance by the cell draws a run of them unaided.
  INT wide = 0, narrow = 0;
  fontKeepsCells = (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0 && GetCharWidth32W(dc, L'W', L'W', &wide) &&
                   GetCharWidth32W(dc, L'i', L'i', &narrow) && wide == charWidth && narrow == charWidth;
}

void XConsole::MeasureFont() {
  if (!window) return;
  scoped::WindowDC dc(window);
  if (!dc.get()) return;
  scoped::Font font(CreateConsoleFont());
  scoped::Select selected(dc.get(), font.get());
  TakeMetrics(dc.get());
}

void XConsole::OnPaint() {
  if (!window) return;
  scoped::PaintDC dc(window);
  HideCaret(window);
  RECT client = {};
  GetClientRect(window, &client);
  {
    const LOGFONTA logFont = ConsoleLogFont();
    scoped::Font font(CreateFontIndirectA(&logFont));
    scoped::Select selected(dc.get(), font.get());
    TakeMetrics(dc.get());
    fallback.Follow(logFont, charWidth);
    Draw(dc.get(), client);
  }
  ShowCaret(window);
  GdiFlush();
}

void XConsole::Draw(HDC dc, RECT& rect) {
  {
    scoped::Brush back(CreateSolidBrush(settings.normalBack));
    RECT left = rect;
    left.right = view.leftMargin;
    FillRect(dc, &left, back.get());
    ExcludeClipRect(dc, left.left, left.top, left.right, left.bottom);
    RECT top = rect;
    top.bottom = view.topMargin;
    FillRect(dc, &top, back.get());
    ExcludeClipRect(dc, top.left, top.top, top.right, top.bottom);
  }
  rect.left = view.leftMargin;
  rect.top = view.topMargin;
  PaintText(dc, rect);
}

void XConsole::PaintText(HDC dc, const RECT& area) {
  if (!view.window) return;
  scoped::Brush empty(CreateSolidBrush(settings.normalBack));
  GdiRowPainter painter(dc, settings, highlights, empty.get(), charWidth, lineHeight, fontKeepsCells, fallback);
  RowPassFrame frame;
  frame.left = area.left;
  frame.top = area.top;
  frame.right = area.right;
  frame.bottom = area.bottom;
  if (endPending && TextView::VisibleCells(area.left, area.right, charWidth) > 0 &&
      TextView::VisibleCells(area.top, area.bottom, lineHeight) > 0) {
    view.visibleColumns = TextView::VisibleCells(area.left, area.right, charWidth);
    view.visibleRows = TextView::VisibleCells(area.top, area.bottom, lineHeight);
    ScrollToEnd();
  }
  frame.hPos = hPos;
  frame.vPos = vPos;
  frame.charWidth = charWidth;
  frame.lineHeight = lineHeight;
  view.hasFocus = hasFocus;
  view.Paint(frame, painter);
  if (hasFocus) SetCaretPos(view.caretX, view.caretY);
  // The scroll bars follow here rather than in every Write: redrawing a bar costs far more
  // than storing a message (milliseconds under Wine), and a burst of messages ends in one paint.
  SyncScrollBar(SB_HORZ);
  SyncScrollBar(SB_VERT);
}
