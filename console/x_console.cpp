// XConsole: construction, Write, ApplySettings and the message dispatcher.
#include "console/x_console.h"

#include <windowsx.h>

#include <algorithm>

namespace {

// A settings size as the store takes it: 0 (no change) for zero and negative values.
uint32_t StoreSize(int32_t value) { return value > 0 ? uint32_t(value) : 0u; }

}  // namespace

XConsole::XConsole() : codePage(LeadTrailSetsForAnsiCodePage()) {
  text.utf8 = true;
  text.ambiguousWide = AmbiguousCharactersAreWide();
}

XConsole::~XConsole() { view.Release(); }

int XConsole::Write(const char* bytes, int length, int /*attribute: the store keeps no colour per byte*/) {
  if (text.selection.state != Selection::kNone) text.selection.Reset();
  const uint32_t lineCountBefore = text.ShownLineCount();
  const uint64_t droppedBefore = text.ShownLinesDropped();
  if (length > 0) text.Append(reinterpret_cast<const uint8_t*>(bytes), uint32_t(length));
  // Lines that left the front move the rest up: a view that stays where it is keeps its text.
  const uint64_t gone = text.ShownLinesDropped() - droppedBefore;
  if (gone != 0 && settings.autoScroll != 1) vPos = int(std::max<int64_t>(int64_t(vPos) - int64_t(gone), 0));
  if (text.ShownLineCount() != lineCountBefore || gone != 0) UpdateVScrollRange();
  UpdateHScrollRange();  // before the scroll to the end, which the range bounds
  if (settings.autoScroll == 1) ScrollToEnd();
  Invalidate();
  return 1;
}

void XConsole::ApplySettings(const ConsoleSettings& newSettings) {
  // Rows measured under another tab size, hex mode or wrap column have other widths now.
  const bool cellsChange = newSettings.tabSize != settings.tabSize || newSettings.hexMode != settings.hexMode;
  const uint32_t wrapBefore = text.wrapColumn;
  settings = newSettings;
  // The store resets the selection when its bytes moved or went; the row table goes stale too.
  if (text.Resize(StoreSize(settings.bufferSize), StoreSize(settings.maxLines), StoreSize(settings.wrapColumn))) {
    view.ForgetRows();
  }
  if (cellsChange || text.wrapColumn != wrapBefore) widestRow.Rebuild(view);
  UpdateHScrollRange();
  UpdateVScrollRange();
  if (hasFocus) {
    caret.Destroy();
    MeasureFont();
    CreateAndShowCaret();
  }
  Invalidate();
}

void XConsole::SetGutter(const LineGutter* gutter) {
  view.gutter = gutter;
  GutterChanged();
}

void XConsole::GutterChanged() {
  if (!window) return;  // the range is taken when the window is made
  // The rows of the last paint hold gutter cells of the old form: a hit test waits for the next.
  view.ForgetRows();
  UpdateHScrollRange();
  Invalidate();
}

void XConsole::Invalidate() {
  if (holdingPaint) {
    paintHeld = true;
    return;
  }
  if (!window || paintPending) return;
  InvalidateRect(window, nullptr, FALSE);
  paintPending = true;
}

void XConsole::HoldPaint() { holdingPaint = true; }

bool XConsole::ReleasePaint(bool paintNow) {
  holdingPaint = false;
  if (!paintHeld || !paintNow) return paintHeld;
  paintHeld = false;
  Invalidate();
  return false;
}

LRESULT XConsole::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      window = hwnd;
      // A new window has its own scroll bars and nothing of it waits for a paint yet.
      paintPending = false;
      barStates[0] = barStates[1] = ScrollBarState();
      OnCreate();
      break;
    case WM_ACTIVATE:
    case WM_MDIACTIVATE:
      OnActivate();
      break;
    case WM_SETFOCUS: OnSetFocus(); break;
    case WM_KILLFOCUS: OnKillFocus(); break;
    case WM_PAINT:
      paintPending = false;  // this paint covers every earlier invalidation
      OnPaint();
      break;
    case WM_CLOSE: OnClose(); break;
    case WM_KEYDOWN: OnKeyDown(UINT(wParam)); break;
    case WM_CHAR: OnChar(UINT(wParam)); break;
    case WM_IME_STARTCOMPOSITION: OnImeStartComposition(); break;
    case WM_HSCROLL: OnHScroll(LOWORD(wParam)); break;
    case WM_VSCROLL: OnVScroll(LOWORD(wParam)); break;
    case WM_MOUSEMOVE: OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); break;
    case WM_LBUTTONDOWN: OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); break;
    case WM_LBUTTONUP: OnLButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); break;
    case WM_RBUTTONDOWN: OnRButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); break;
    case WM_MOUSEWHEEL: OnMouseWheel(short(HIWORD(wParam))); break;
    default: break;
  }
  return 0;
}
