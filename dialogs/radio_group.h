// RadioGroup: binds an index to a run of radio buttons with consecutive control identifiers.
#pragma once

#include <windows.h>

struct RadioGroup {
  static constexpr int kNone = -1;  // Selected: no button is checked, or the group is unbound

  HWND dialog = nullptr;
  int first = 0;
  int count = 0;

  // Stores the three values and checks the button first + selected.
  void Bind(HWND dialogWindow, int firstId, int buttonCount, int selected);
  // Checks the clicked button when it belongs to the group; ignores any other identifier.
  void Click(int id);
  // Index of the first checked button in identifier order, or kNone.
  int Selected() const;
};
