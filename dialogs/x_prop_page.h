// XPropPage: base of property-sheet pages; one dialog procedure maps callbacks and PSN_APPLY to virtual operations.
#pragma once

#include <windows.h>

#include "dialogs/dialog_command.h"

// The page's creator puts DialogProc and the object's address (as the application parameter
// lParam of PROPSHEETPAGEA) into the page description.
class XPropPage {
 public:
  XPropPage() = default;
  XPropPage(const XPropPage&) = delete;
  XPropPage& operator=(const XPropPage&) = delete;

  virtual ~XPropPage();                                      // slot 0
  virtual void OnInitDialog();                               // slot 1
  virtual void OnCommand(const DialogCommand& command);     // slot 2
  virtual void OnApply();                                    // slot 3: OK was pressed
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);  // slot 4: 0, not handled

  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd = nullptr;   // the page's dialog window, null until WM_INITDIALOG
  HWND owner = nullptr;  // the window that owns the property sheet
};
