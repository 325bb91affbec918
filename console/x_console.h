// XConsole: the scrolling console text control (store, painting, scrolling, selection, clipboard).
#pragma once

#include <windows.h>

#include <vector>

#include "code_page/ansi_code_page.h"
#include "console/console_place.h"
#include "console/console_settings.h"
#include "console/font_fallback.h"
#include "scoped/scoped_win.h"
#include "console/text_search.h"
#include "console/text_store.h"
#include "console/text_view.h"
#include "console/widest_row.h"

class XConsole {
 public:
  XConsole();
  virtual ~XConsole();                                        // slot 0
  XConsole(const XConsole&) = delete;
  XConsole& operator=(const XConsole&) = delete;

  virtual int Write(const char* text, int length, int attribute);  // 1: text in UTF-8
  // 2: 1 done, 0 nothing to copy, -1 the clipboard refused (held by another program, or no
  // memory): the selection then stays for another try.
  virtual int Copy();
  virtual int Paste();                                         // 3: 0 refused, 1 otherwise
  virtual void OnCreate();                                     // 4
  virtual void OnActivate();                                   // 5
  virtual void OnClose();                                      // 6
  virtual void OnSetFocus();                                   // 7
  virtual void OnKillFocus();                                  // 8
  virtual void OnKeyDown(UINT key);                            // 9
  virtual void OnChar(UINT code);                              // 10
  virtual void OnHScroll(int request);                         // 11
  virtual void OnVScroll(int request);                         // 12
  virtual void OnLButtonDown(int x, int y);                    // 13
  virtual void OnMouseMove(int x, int y);                      // 14
  virtual void OnLButtonUp(int x, int y);                      // 15
  virtual void OnRButtonDown(int x, int y);                    // 16
  virtual void OnMouseWheel(short delta);                      // 17
  virtual void OnPaint();                                      // 18
  virtual void Draw(HDC dc, RECT& rect);                       // 19
  virtual void OnImeStartComposition();                        // 20
  virtual int AcceptPaste(const char* text, int length);       // 21

  // Turns one window message into a virtual operation; the caller then calls DefWindowProcA.
  LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  // Installs a whole new settings record and brings store, scroll bars, font and caret in line.
  void ApplySettings(const ConsoleSettings& newSettings);

  void UpdateHScrollRange();
  void UpdateVScrollRange();
  void ScrollToColumn(int target);
  void ScrollToLine(int target);
  void ScrollToEnd();
  void SelectAll();
  // Makes the stored bytes lo .. hi (inclusive) the finished selection, as a finished mouse
  // selection is, and scrolls them into view; offsets outside the stored bytes change nothing.
  void SelectRange(int32_t lo, int32_t hi);
  // Scrolls so that the bytes lo .. hi show (their start when they do not fit), both ways.
  void Reveal(int32_t lo, int32_t hi);
  // The client rectangle of the bytes lo .. hi on the row where they start (to that row's end
  // when they run on), as the view stands now; false when they are not stored or not measured.
  bool RangeRect(int32_t lo, int32_t hi, RECT* rect) const;
  void MeasureFont();
  // Maps a client point to a byte offset (-1 when none); see the markers in text_view.h.
  int HitTest(int x, int y, POINT* cell, int* leftRow, int* pastRow);
  void Invalidate();  // whole client area, no erasing
  // Where the view stands (the search hit left as it is), and back there after the shown lines
  // changed: the top line or the next one shown, the end when the place was there; a selection
  // whose bytes left is dropped.
  ConsolePlace CurrentPlace() const;
  void GoTo(const ConsolePlace& place);
  // The owner's gutter (null: none) draws before every line; after what it draws changed,
  // GutterChanged restyles the whole history: ranges, caret and a paint.
  void SetGutter(const LineGutter* gutter);
  void GutterChanged();
  // Between HoldPaint and ReleasePaint, Write and the other changes only note that a paint is
  // due; ReleasePaint(true) asks for it, ReleasePaint(false) keeps it due for a later release.
  // Returns whether a paint is still due. A flood of messages is so drawn at the owner's pace.
  void HoldPaint();
  bool ReleasePaint(bool paintNow);

  ConsoleSettings settings;
  // The colours of highlight colour pair n (from 1) are highlights[n - 1]; the owner sets them and
  // marks messages in the store with their numbers.
  struct HighlightColours {
    COLORREF text, back;
  };
  std::vector<HighlightColours> highlights;
  HWND parentWindow = nullptr;
  HWND window = nullptr;
  int hasFocus = 0;
  // The DPI the console's font and margins are made for: the owner sets it with SetDpi, and
  // again when it changes, then applies the settings to remake the font.
  unsigned dpi = 96;
  void SetDpi(unsigned newDpi) {
    dpi = newDpi != 0 ? newDpi : 96;
    view.leftMargin = static_cast<int>((kConsoleLeftMargin * dpi + 48) / 96);
    view.topMargin = static_cast<int>((kConsoleTopMargin * dpi + 48) / 96);
  }
  int charWidth = 0;
  int lineHeight = 0;
  bool fontKeepsCells = false;  // its narrow characters advance by charWidth (TakeMetrics)
  int hRange = 0;
  int vRange = 0;
  int hPos = 0;
  int vPos = 0;
  int downLeftRow = 0;
  int downPastRow = 0;
  TextStore text;
  TextView view;
  // The widest row's cells among the stored lines: what the horizontal range must reach.
  WidestRow widestRow;
  // The store keeps UTF-8 text (Write takes it so); these are the double-byte sets of the ANSI
  // code page, for text its owner still holds in that code page.
  LeadTrailSets codePage;
  // The fonts that draw what the console font lacks, made as the paints need them.
  FontFallback fallback;

  // The console font of the settings, created for one use; the caller deletes it.
  HFONT CreateConsoleFont() const;

 private:
  // What the window's scroll bar last received, so that it is only told about changes.
  struct ScrollBarState {
    int range = -1, page = -1, position = -1, shown = -1;
  };

  LOGFONTA ConsoleLogFont() const;
  void TakeMetrics(HDC dc);  // charWidth and lineHeight of the font selected into dc
  void PaintText(HDC dc, const RECT& area);  // the row pass, caret position and scroll bars
  // Brings one window scroll bar (SB_HORZ, SB_VERT) in line with the range, page and position.
  void SyncScrollBar(int bar);
  void OnScrollRequest(int bar, int request);
  void CreateAndShowCaret();

  scoped::Caret caret;  // exists between OnSetFocus and OnKillFocus
  // The whole client area is invalid and a paint will come: a Write need not tell the window
  // again (each InvalidateRect is a round trip to the window server).
  bool paintPending = false;
  bool holdingPaint = false;
  bool paintHeld = false;
  // A ScrollToEnd came while the view had no size: the next paint that measures one does it.
  bool endPending = false;
  char pendingLead_ = 0;  // a typed double-byte character's lead byte, waiting for its trail
  ScrollBarState barStates[2];  // SB_HORZ, SB_VERT
};
