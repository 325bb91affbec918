// XPropPage: the shared property-page dialog procedure and the base behaviour of its virtual operations.
#include "dialogs/x_prop_page.h"

#include <commctrl.h>
#include <prsht.h>

#include "dialogs/dialog_dispatch.h"

XPropPage::~XPropPage() = default;

void XPropPage::OnInitDialog() {}

void XPropPage::OnCommand(const DialogCommand& /*command*/) {}

void XPropPage::OnApply() {}

INT_PTR XPropPage::OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }

INT_PTR CALLBACK XPropPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    XPropPage* self = nullptr;
    if (message == WM_INITDIALOG) {
      const auto* page = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
      if (page) self = reinterpret_cast<XPropPage*>(page->lParam);
    } else {
      self = reinterpret_cast<XPropPage*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self) return TRUE;
    if (message == WM_NOTIFY) {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->code == static_cast<UINT>(PSN_APPLY)) self->OnApply();
      // No DWLP_MSGRESULT is set: every notification sees 0, which for PSN_APPLY is
      // PSNRET_NOERROR and lets the sheet close.
      return TRUE;
    }
    return dialogs::Dispatch(self, window, message, wParam, lParam);
  } catch (...) {
    return FALSE;
  }
}
