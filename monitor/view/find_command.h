// FindCommand: Edit > Find and Find Next. The system's modeless find dialog, and the search of
// the console's text whose hit becomes the console's selection.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstdint>

#include "console/console_place.h"
#include "console/text_search.h"

class VGL_Console;

class FindCommand {
 public:
  FindCommand() = default;
  FindCommand(const FindCommand&) = delete;
  FindCommand& operator=(const FindCommand&) = delete;

  // The registered FINDMSGSTRING message the dialog sends its owner; 0 until the dialog first opens.
  UINT message() const { return findMessage_; }
  HWND dialog() const { return dialog_; }
  // The text to find, as the dialog holds it (Unicode: any character, also one the ANSI code page
  // lacks).
  const wchar_t* text() const { return text_; }

  // Command 116: shows the dialog with the last text, or the selected text when it is one short
  // line; brings it forward when it is open already.
  void Open(HWND owner, const VGL_Console& console);
  // Commands 117 and 118: searches down or up for the last text, with the last Match case; opens
  // the dialog while there is no text yet.
  void Next(HWND owner, VGL_Console& console, bool down);
  // The dialog's message: Find Next searches in the dialog's direction; closing forgets the dialog.
  void OnFindMessage(const FINDREPLACEW& request, VGL_Console& console);
  // Gives the dialog its keyboard (Tab, Enter, Escape) in the message loop: true when taken.
  bool PreTranslate(MSG* message);

  // One search for the current text: the hit becomes the selection, or the user is told that
  // there is none and the selection stays. Starts after the selection (before it when searching
  // up), else after the last hit while it is still stored, else at the start (up: the end).
  bool Search(VGL_Console& console, bool down, bool matchCase);

  // The last hit, kept with each view while another is shown.
  void KeepHit(ConsolePlace& place) const {
    place.found = hasHit_;
    place.foundStart = hitStart_;
    place.foundEnd = hitEnd_;
  }
  void TakeHit(const ConsolePlace& place) {
    hasHit_ = place.found;
    hitStart_ = place.foundStart;
    hitEnd_ = place.foundEnd;
  }

 private:
  void TellNotFound() const;
  // Moves the dialog off the hit when it covers it: below the hit's row, or above when there is
  // no room below.
  void KeepDialogOffHit(const VGL_Console& console, int32_t lo, int32_t hi) const;

  UINT findMessage_ = 0;
  FINDREPLACEW request_ = {};
  static constexpr size_t kTextUnits = 256;
  wchar_t text_[kTextUnits] = L"";
  HWND dialog_ = nullptr;
  // The options of the last Find Next, for F3 and the next opening: the dialog clears its flags
  // when it closes.
  bool matchCase_ = false;
  bool down_ = true;
  bool foldingReady_ = false;
  CaseFolding folding_ = {};
  // The last hit as positions in everything the console took in (TextStore::frontPosition), so
  // that the next search goes on from it after new text has removed the selection.
  bool hasHit_ = false;
  uint64_t hitStart_ = 0;
  uint64_t hitEnd_ = 0;
};
