// XDialog: base of the monitor's modal dialogs; one dialog procedure turns callbacks into virtual operations.
#pragma once

#include <windows.h>

#include "dialogs/dialog_command.h"

// A subclass object lives on its caller's stack for the duration of DialogBoxParamA; the caller
// passes its address as the initialisation parameter and reads its fields afterwards.
class XDialog {
 public:
  XDialog() = default;
  XDialog(const XDialog&) = delete;
  XDialog& operator=(const XDialog&) = delete;

  virtual void OnInitDialog();                               // slot 0: every subclass supplies its own
  virtual void OnCommand(const DialogCommand& command);     // slot 1: IDOK and IDCANCEL end the dialog
  virtual void End(int result);                              // slot 2: EndDialog with the result
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);  // slot 3: 0, not handled

  // The dialog procedure handed to DialogBoxParamA, shared by every subclass.
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd = nullptr;  // the dialog window, null until WM_INITDIALOG

 protected:
  // Dialog objects are never deleted through the base: they live on their caller's stack.
  ~XDialog() = default;
};
