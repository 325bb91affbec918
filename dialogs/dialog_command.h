// DialogCommand: one WM_COMMAND taken apart once, by the dialog procedure that received it.
#pragma once

#include <windows.h>

struct DialogCommand {
  int id;       // the control, menu item or accelerator
  int code;     // the control's notification code: 0 from a menu item, 1 from an accelerator
  HWND source;  // the control that sent it; null from a menu item or an accelerator

  static DialogCommand From(WPARAM wParam, LPARAM lParam) {
    return {LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)};
  }
};
