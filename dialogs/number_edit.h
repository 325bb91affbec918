// NumberEdit: binds a ranged signed number to an edit box with a spin control beside it.
#pragma once

#include <windows.h>

#include <cstdint>

struct NumberEdit {
  HWND dialog = nullptr;
  int id = 0;
  int32_t value = 0;
  int32_t minimum = 0;
  int32_t maximum = 0;

  // Stores the five values and creates the spin control, which puts the value into the box.
  void Bind(HWND dialogWindow, int controlId, int32_t initial, int32_t low, int32_t high);
  // Takes the box's number when it lies in range, otherwise keeps the previous value; writes the
  // kept value back into the box (so bad text visibly reverts) and returns it.
  int32_t Read();
};
