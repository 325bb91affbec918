// XDialog: the shared modal dialog procedure and the base behaviour of its virtual operations.
#include "dialogs/x_dialog.h"

void XDialog::OnInitDialog() {}

void XDialog::OnCommand(const DialogCommand& command) {
  if (command.id == IDOK || command.id == IDCANCEL) End(command.id);
}

void XDialog::End(int result) { EndDialog(hwnd, result); }

INT_PTR XDialog::OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }

INT_PTR CALLBACK XDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // A C++ exception must never unwind through the system's dialog manager.
  try {
    XDialog* self = message == WM_INITDIALOG
                        ? reinterpret_cast<XDialog*>(lParam)
                        : reinterpret_cast<XDialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    // Messages sent before WM_INITDIALOG (WM_SETFONT and the like) find no object yet.
    if (!self) return TRUE;
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
  } catch (...) {
    return FALSE;
  }
}
