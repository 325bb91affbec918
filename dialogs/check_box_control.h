// CheckBoxControl: binds an on/off value to one check box of a dialog.
#pragma once

#include <windows.h>

struct CheckBoxControl {
  HWND dialog = nullptr;
  int id = 0;

  // Stores the pair and checks the box when state is nonzero; with a null dialog nothing is stored.
  void Bind(HWND dialogWindow, int controlId, int state);
  // 1 when the box is checked, else 0 (also when unbound).
  int IsChecked() const;
};
