// XDialog: the shared modal dialog procedure and the base behaviour of its virtual operations.
#include "dialogs/x_dialog.h"

#include "dialogs/dialog_dispatch.h"

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
    return dialogs::Dispatch(self, window, message, wParam, lParam);
  } catch (...) {
    return FALSE;
  }
}
