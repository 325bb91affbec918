// The part of a dialog procedure that the modal dialog and the property page share: binding the
// object to its window at WM_INITDIALOG, and handing commands and other messages to it.
#pragma once

#include <windows.h>

#include "dialogs/dialog_command.h"

namespace dialogs {

// self is the object the window serves: found by the caller in the initialisation parameter at
// WM_INITDIALOG, in the window data afterwards.
template <typename Dialog>
INT_PTR Dispatch(Dialog* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->hwnd = window;
      self->OnInitDialog();
      return TRUE;  // the dialog manager then sets the default focus
    case WM_COMMAND:
      self->OnCommand(DialogCommand::From(wParam, lParam));
      return TRUE;
    default:
      return self->OnMessage(message, wParam, lParam);
  }
}

}  // namespace dialogs
