// FindCommand: the find dialog's life, its messages, and the search of the console's bytes.
#include "monitor/view/find_command.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <string>
#include <string_view>

#include "code_page/ansi_code_page.h"
#include "monitor/common/code_page_text.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/common/ui_text.h"
#include "monitor/view/vgl_console.h"

namespace {

constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kLf = 0x0A;

}  // namespace

void FindCommand::Open(HWND owner, const VGL_Console& console) {
  if (dialog_ && IsWindow(dialog_)) {
    SetActiveWindow(dialog_);
    return;
  }
  dialog_ = nullptr;
  if (!findMessage_) findMessage_ = RegisterWindowMessageA(FINDMSGSTRINGA);

  // A selection of one short line is what the user most likely wants to find (the text of a
  // hit is the search text already).
  const Selection& selection = console.text.selection;
  if (selection.state == Selection::kFinished && console.text.HasArrays()) {
    const int32_t lo = std::min(selection.anchor.offset, selection.end.offset);
    const int32_t hi = std::max(selection.anchor.offset, selection.end.offset);
    if (lo >= 0 && uint32_t(hi) < console.text.used && size_t(hi - lo + 1) < sizeof text_) {
      char taken[sizeof text_];
      const size_t length = size_t(hi - lo + 1);
      console.text.CopyOut(uint32_t(lo), uint32_t(length), reinterpret_cast<uint8_t*>(taken));
      if (std::find_if(taken, taken + length, [](char b) { return b == 0 || b == kCr || b == kLf; }) ==
          taken + length) {
        // The dialog takes text in the ANSI code page: a selection it cannot hold stays out.
        std::string ansi;
        Utf8ToAnsiText(std::string_view(taken, length), ansi);
        std::string back;
        AnsiToUtf8Text(ansi, back);
        if (back == std::string_view(taken, length) && ansi.size() < sizeof text_) {
          std::memcpy(text_, ansi.data(), ansi.size());
          text_[ansi.size()] = '\0';
        }
      }
    }
  }

  const DWORD kept = (matchCase_ ? FR_MATCHCASE : 0) | (down_ ? FR_DOWN : 0);
  request_ = FINDREPLACEA();
  request_.lStructSize = sizeof request_;
  request_.hwndOwner = owner;
  request_.lpstrFindWhat = text_;
  request_.wFindWhatLen = sizeof text_;
  // Whole words would need a word rule for Japanese text; the search has none.
  request_.Flags = kept | FR_HIDEWHOLEWORD;
  dialog_ = FindTextA(&request_);
}

void FindCommand::Next(HWND owner, VGL_Console& console, bool down) {
  if (text_[0] == '\0') {
    Open(owner, console);
    return;
  }
  request_.hwndOwner = owner;
  Search(console, down, matchCase_);
}

void FindCommand::OnFindMessage(const FINDREPLACEA& request, VGL_Console& console) {
  if (request.Flags & FR_DIALOGTERM) {
    dialog_ = nullptr;
    return;
  }
  if (request.Flags & FR_FINDNEXT) {
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
  return IsDialogMessageA(dialog_, message) != FALSE;
}

bool FindCommand::Search(VGL_Console& console, bool down, bool matchCase) {
  const size_t length = std::strlen(text_);
  if (length == 0) return false;
  if (!foldingReady_) {
    folding_ = CaseFoldingForAnsiCodePage();
    foldingReady_ = true;
  }
  TextStore& store = console.text;
  // The console's text is UTF-8; the dialog's is in the ANSI code page.
  std::string pattern(text_, length);
  if (store.utf8 && !IsAsciiText(text_, length)) {
    pattern.clear();
    AnsiToUtf8Text(std::string_view(text_, length), pattern);
  }
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

  const SearchHit hit = FindInShownText(store, folding_, request, UnicodeFoldingOfSystem());
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
  char pattern[kUiTextSize];
  LoadUiText(IDS_FIND_NOT_FOUND, pattern);
  char text[sizeof pattern + sizeof text_];
  std::snprintf(text, sizeof text, pattern, text_);
  char caption[kUiTextSize];
  LoadUiText(IDS_PROGRAM_NAME, caption);
  // Over the dialog while it is open, so that the user's eyes stay where they were.
  const HWND owner = dialog_ && IsWindow(dialog_) ? dialog_ : request_.hwndOwner;
  MessageBoxA(owner, text, caption, MB_OK | MB_ICONINFORMATION);
}
