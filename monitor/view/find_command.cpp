// FindCommand: the find dialog's life, its messages, and the search of the console's bytes.
#include "monitor/view/find_command.h"

#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>

#include <string>
#include <string_view>

#include "code_page/ansi_code_page.h"
#include "console/drawn_search.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/common/ui_text.h"
#include "monitor/view/vgl_console.h"

namespace {

constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kLf = 0x0A;

// A text of the interface (ANSI code page) as Unicode.
std::wstring Widened(const char* ansi) {
  const int units = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
  std::wstring wide(size_t(units > 0 ? units : 1), L'\0');
  if (units > 0) MultiByteToWideChar(CP_ACP, 0, ansi, -1, &wide[0], units);
  wide.resize(wide.size() - 1);
  return wide;
}

}  // namespace

void FindCommand::Open(HWND owner, const VGL_Console& console) {
  if (dialog_ && IsWindow(dialog_)) {
    SetActiveWindow(dialog_);
    return;
  }
  dialog_ = nullptr;
  if (!findMessage_) findMessage_ = RegisterWindowMessageW(FINDMSGSTRINGW);

  // A selection of one short line is what the user most likely wants to find (the text of a
  // hit is the search text already).
  const Selection& selection = console.text.selection;
  if (selection.state == Selection::kFinished && console.text.HasArrays()) {
    const int32_t lo = std::min(selection.anchor.offset, selection.end.offset);
    const int32_t hi = std::max(selection.anchor.offset, selection.end.offset);
    if (lo >= 0 && uint32_t(hi) < console.text.used && size_t(hi - lo + 1) < kTextUnits) {
      char taken[kTextUnits];
      const size_t length = size_t(hi - lo + 1);
      console.text.CopyOut(uint32_t(lo), uint32_t(length), reinterpret_cast<uint8_t*>(taken));
      if (std::find_if(taken, taken + length, [](char b) { return b == 0 || b == kCr || b == kLf; }) ==
          taken + length) {
        const int units = MultiByteToWideChar(CP_UTF8, 0, taken, int(length), text_, int(kTextUnits) - 1);
        text_[units > 0 ? units : 0] = L'\0';
      }
    }
  }

  const DWORD kept = (matchCase_ ? FR_MATCHCASE : 0) | (down_ ? FR_DOWN : 0);
  request_ = FINDREPLACEW();
  request_.lStructSize = sizeof request_;
  request_.hwndOwner = owner;
  request_.lpstrFindWhat = text_;
  request_.wFindWhatLen = sizeof text_;  // in bytes
  // Whole words would need a word rule for Japanese text; the search has none.
  request_.Flags = kept | FR_HIDEWHOLEWORD;
  dialog_ = FindTextW(&request_);
}

void FindCommand::Next(HWND owner, VGL_Console& console, bool down) {
  if (text_[0] == L'\0') {
    Open(owner, console);
    return;
  }
  request_.hwndOwner = owner;
  Search(console, down, matchCase_);
}

void FindCommand::OnFindMessage(const FINDREPLACEW& request, VGL_Console& console) {
  if (request.Flags & FR_DIALOGTERM) {
    dialog_ = nullptr;
    return;
  }
  if (request.Flags & FR_FINDNEXT) {
    // The text as the dialog's box holds it: the system may have handed it over through the ANSI
    // code page (Wine's dialog does), which has not every character.
    if (dialog_ && IsWindow(dialog_)) {
      wchar_t typed[kTextUnits] = L"";
      if (GetDlgItemTextW(dialog_, edt1, typed, int(kTextUnits)) > 0) std::wcscpy(text_, typed);
    }
    matchCase_ = (request.Flags & FR_MATCHCASE) != 0;
    down_ = (request.Flags & FR_DOWN) != 0;
    Search(console, down_, matchCase_);
  }
}

bool FindCommand::PreTranslate(MSG* message) {
  if (!dialog_) return false;
  if (!IsWindow(dialog_)) {
    dialog_ = nullptr;  // went with its owner
    return false;
  }
  return IsDialogMessageW(dialog_, message) != FALSE;
}

bool FindCommand::Search(VGL_Console& console, bool down, bool matchCase) {
  const size_t length = std::wcslen(text_);
  if (length == 0) return false;
  if (!foldingReady_) {
    folding_ = CaseFoldingForAnsiCodePage();
    foldingReady_ = true;
  }
  TextStore& store = console.text;
  // The console's text is UTF-8 (a code page's where a store keeps one).
  const UINT codePage = store.utf8 ? CP_UTF8 : CP_ACP;
  const int bytes = WideCharToMultiByte(codePage, 0, text_, int(length), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return false;
  std::string pattern(size_t(bytes), '\0');
  WideCharToMultiByte(codePage, 0, text_, int(length), &pattern[0], bytes, nullptr, nullptr);
  SearchRequest request;
  request.pattern = reinterpret_cast<const uint8_t*>(pattern.data());
  request.patternLength = uint32_t(pattern.size());
  request.matchCase = matchCase;
  request.down = down;
  const Selection& selection = store.selection;
  if (selection.state == Selection::kFinished) {
    const int32_t lo = std::min(selection.anchor.offset, selection.end.offset);
    const int32_t hi = std::max(selection.anchor.offset, selection.end.offset);
    request.from = uint32_t(std::max(down ? hi + 1 : lo, 0));
  } else if (hasHit_) {
    // A hit that has left the front lies before everything stored.
    const uint64_t position = down ? hitEnd_ : hitStart_;
    const uint64_t offset = position > store.frontPosition ? position - store.frontPosition : 0;
    request.from = uint32_t(std::min<uint64_t>(offset, store.used));
  } else {
    request.from = down ? 0 : store.used;
  }

  // The lines as drawn: a stamp or a sender shown before a line is found too.
  const SearchHit hit = FindInDrawnText(console.view, folding_, request, UnicodeFoldingOfSystem());
  if (!hit.found) {
    TellNotFound();
    return false;
  }
  const int32_t lo = int32_t(hit.offset);
  const int32_t hi = int32_t(hit.offset + hit.length - 1);
  console.ShowFound(lo, hi);
  KeepDialogOffHit(console, lo, hi);
  hasHit_ = true;
  hitStart_ = store.frontPosition + hit.offset;
  hitEnd_ = hitStart_ + hit.length;
  return true;
}

void FindCommand::KeepDialogOffHit(const VGL_Console& console, int32_t lo, int32_t hi) const {
  if (!dialog_ || !IsWindow(dialog_) || !IsWindowVisible(dialog_) || !console.window) return;
  RECT hit = {};
  if (!console.RangeRect(lo, hi, &hit)) return;
  MapWindowPoints(console.window, nullptr, reinterpret_cast<POINT*>(&hit), 2);
  RECT box = {};
  GetWindowRect(dialog_, &box);
  RECT overlap = {};
  if (!IntersectRect(&overlap, &box, &hit)) return;
  // The work area of the monitor the console is on.
  MONITORINFO screen = {};
  screen.cbSize = sizeof screen;
  if (!GetMonitorInfoA(MonitorFromWindow(console.window, MONITOR_DEFAULTTONEAREST), &screen)) return;
  const int height = box.bottom - box.top;
  const int gap = (hit.bottom - hit.top) / 2;
  int top = hit.bottom + gap;
  if (top + height > screen.rcWork.bottom) top = hit.top - gap - height;
  if (top < screen.rcWork.top) return;  // no room either way: the dialog stays where the user put it
  SetWindowPos(dialog_, nullptr, box.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FindCommand::TellNotFound() const {
  // The text as the dialog holds it, in the interface's message: Unicode, so that every
  // character of it shows.
  char pattern[kUiTextSize];
  LoadUiText(IDS_FIND_NOT_FOUND, pattern);
  const std::wstring format = Widened(pattern);
  const size_t directive = format.find(L"%s");
  std::wstring text = directive == std::wstring::npos
                          ? format
                          : format.substr(0, directive) + text_ + format.substr(directive + 2);
  char caption[kUiTextSize];
  LoadUiText(IDS_PROGRAM_NAME, caption);
  // Over the dialog while it is open, so that the user's eyes stay where they were.
  const HWND owner = dialog_ && IsWindow(dialog_) ? dialog_ : request_.hwndOwner;
  MessageBoxW(owner, text.c_str(), Widened(caption).c_str(), MB_OK | MB_ICONINFORMATION);
}
