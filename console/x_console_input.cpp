// XConsole window messages: creation, focus and caret, keys, scroll bars, wheel, automatic
// scrolling and the input method's composition window.
#include <algorithm>

#include "console/scroll_arithmetic.h"
#include "console/x_console.h"

namespace {

constexpr UINT kCtrlC = 3;
constexpr UINT kCtrlV = 22;
constexpr UINT kEnter = 13;

bool ShiftHeld() { return (GetAsyncKeyState(VK_SHIFT) >> 8) & 0xFF; }

}  // namespace

void XConsole::OnCreate() {
  if (!view.window && window) view.Attach(window, text, settings);
  widestRow.Rebuild(view);  // text written before the window came was not measured
  UpdateHScrollRange();
  UpdateVScrollRange();
}

void XConsole::OnActivate() {
  if (window) SetFocus(window);
}

void XConsole::OnClose() {}

void XConsole::OnRButtonDown(int, int) {}

void XConsole::CreateAndShowCaret() {
  if (!window || !caret.Create(window, charWidth, lineHeight)) return;
  SetCaretPos(view.caretX, view.caretY);
  ShowCaret(window);
}

void XConsole::OnSetFocus() {
  hasFocus = 1;
  view.hasFocus = 1;
  if (charWidth == 0 || lineHeight == 0) MeasureFont();
  CreateAndShowCaret();
}

void XConsole::OnKillFocus() {
  hasFocus = 0;
  view.hasFocus = 0;
  caret.Destroy();
}

void XConsole::OnKeyDown(UINT key) {
  switch (key) {
    case VK_LEFT: ScrollToColumn(hPos - 2); break;
    case VK_UP: ScrollToLine(vPos - 2); break;
    case VK_RIGHT: ScrollToColumn(hPos + 2); break;
    case VK_DOWN: ScrollToLine(vPos + 2); break;
    default: break;
  }
}

void XConsole::OnChar(UINT code) {
  if (code == kCtrlC && !ShiftHeld()) {
    Copy();
    return;
  }
  if (settings.readOnly == 1) return;
  if (code == kCtrlV && !ShiftHeld()) {
    Paste();
    return;
  }
  if (code == kEnter) {
    switch (settings.newlineMode) {
      case 0: Write("\r", 1, 0); break;
      case 1: Write("\n", 1, 0); break;
      default: Write("\r\n", 2, 0); break;
    }
    return;
  }
  // A typed character comes in the ANSI code page, a double-byte one as its two bytes in turn.
  const char byte = char(code & 0xFF);
  if (uint8_t(byte) < 0x80 && pendingLead_ == 0) {
    Write(&byte, 1, 0);
    return;
  }
  if (pendingLead_ == 0 && IsDBCSLeadByte(BYTE(byte))) {
    pendingLead_ = byte;
    return;
  }
  const char typed[2] = {pendingLead_ != 0 ? pendingLead_ : byte, byte};
  const int typedLength = pendingLead_ != 0 ? 2 : 1;
  pendingLead_ = 0;
  wchar_t wide[2];
  const int units = MultiByteToWideChar(CP_ACP, 0, typed, typedLength, wide, 2);
  char utf8[8];
  const int length = units > 0 ? WideCharToMultiByte(CP_UTF8, 0, wide, units, utf8, sizeof utf8, nullptr, nullptr) : 0;
  if (length > 0) Write(utf8, length, 0);
}

void XConsole::SyncScrollBar(int bar) {
  if (!window) return;
  const bool horizontal = bar == SB_HORZ;
  ScrollBarState wanted;
  wanted.range = horizontal ? hRange : vRange;
  wanted.page = std::max(horizontal ? view.visibleColumns : view.visibleRows, 0);
  wanted.position = horizontal ? hPos : vPos;
  wanted.shown = (horizontal ? settings.showHScroll : settings.showVScroll) == 1 ? 1 : 0;
  ScrollBarState& state = barStates[horizontal ? 0 : 1];
  if (wanted.shown == 1 &&
      (wanted.range != state.range || wanted.page != state.page || wanted.position != state.position)) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;  // disabled, not hidden
    info.nMin = 0;
    info.nMax = wanted.range - 1;
    info.nPage = UINT(wanted.page);
    info.nPos = wanted.position;
    SetScrollInfo(window, bar, &info, TRUE);
    state.range = wanted.range;
    state.page = wanted.page;
    state.position = wanted.position;
  }
  if (wanted.shown != state.shown) {
    ShowScrollBar(window, bar, wanted.shown);
    state.shown = wanted.shown;
  }
}

void XConsole::UpdateHScrollRange() {
  widestRow.Update(view);
  const int32_t gutter = view.GutterCells();
  hRange = console_scroll::HRange(text.wrapColumn + uint32_t(gutter), widestRow.Cells() + gutter);
  // A position left beyond a smaller range (hex mode off, lines dropped) would show nothing.
  hPos = console_scroll::Clamp(hPos, hRange, view.visibleColumns);
  // Showing or hiding changes the client area at once; the rest waits for the next paint.
  if (barStates[0].shown != (settings.showHScroll == 1 ? 1 : 0)) SyncScrollBar(SB_HORZ);
}

void XConsole::UpdateVScrollRange() {
  vRange = console_scroll::VRange(text.LastShownIndex());
  vPos = console_scroll::Clamp(vPos, vRange, view.visibleRows);
  if (barStates[1].shown != (settings.showVScroll == 1 ? 1 : 0)) SyncScrollBar(SB_VERT);
}

void XConsole::ScrollToColumn(int target) {
  const int position = console_scroll::Clamp(target, hRange, view.visibleColumns);
  if (position == hPos) return;
  hPos = position;
  Invalidate();  // the paint moves the bar too
}

void XConsole::ScrollToLine(int target) {
  const int position = console_scroll::Clamp(target, vRange, view.visibleRows);
  if (position == vPos) return;
  vPos = position;
  Invalidate();
}

void XConsole::ScrollToEnd() {
  // Before the first paint (a monitor started minimized) the view has no size yet: the end is
  // found once the paint has measured it.
  if (view.visibleColumns <= 0 || view.visibleRows <= 0) {
    endPending = true;
    return;
  }
  endPending = false;
  int target = 0;
  // Cells, not bytes: tabs and hex codes make the end of the line lie further right.
  const int length = int(std::min(view.CurrentLineEndCell(), 0x3FFFFFFF));
  if (console_scroll::EndTarget(length, hPos, view.visibleColumns, &target)) {
    hPos = console_scroll::Clamp(target, hRange, view.visibleColumns);
  }
  const int lines = int(std::min<uint32_t>(text.LastShownIndex(), 0x3FFFFFFF));
  if (console_scroll::EndTarget(lines, vPos, view.visibleRows, &target)) {
    vPos = console_scroll::Clamp(target, vRange, view.visibleRows);
  }
}

void XConsole::OnScrollRequest(int bar, int request) {
  if (!window) return;
  SyncScrollBar(bar);  // the bar may not have seen the last Write yet
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(window, bar, &info)) return;
  const int target = console_scroll::RequestTarget(request, info.nPos, int(info.nPage), info.nTrackPos,
                                                   info.nMin, info.nMax);
  if (bar == SB_HORZ) {
    ScrollToColumn(target);
  } else {
    ScrollToLine(target);
  }
}

void XConsole::OnHScroll(int request) { OnScrollRequest(SB_HORZ, request); }

void XConsole::OnVScroll(int request) { OnScrollRequest(SB_VERT, request); }

void XConsole::OnMouseWheel(short delta) { ScrollToLine(console_scroll::WheelTarget(vPos, delta)); }

void XConsole::OnImeStartComposition() {
  if (!window) return;
  scoped::InputContext context(window);
  if (!context.get()) return;
  COMPOSITIONFORM form = {};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos.x = std::max(view.caretX, view.leftMargin);
  form.ptCurrentPos.y = std::max(view.caretY, view.topMargin);
  ImmSetCompositionWindow(context.get(), &form);
  LOGFONTA font = ConsoleLogFont();
  ImmSetCompositionFontA(context.get(), &font);
}
