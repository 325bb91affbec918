// RenameViewDialog: one edit box with the view's name.
#include "monitor/app/rename_view_dialog.h"

#include <vector>

#include "monitor/common/ui_text.h"
#include "monitor/resources/resource_ids.h"

namespace {

// Longer names make tabs no one can read.
constexpr int kLongestName = 64;

}  // namespace

void RenameViewDialog::OnInitDialog() {
  const HWND edit = GetDlgItem(hwnd, IDC_VIEW_NAME);
  SendMessageA(edit, EM_LIMITTEXT, kLongestName, 0);
  // The system gives the box the focus, its text selected.
  SetWindowTextA(edit, name.c_str());
}

void RenameViewDialog::OnCommand(const DialogCommand& command) {
  if (command.id == IDOK) {
    std::vector<char> text(kLongestName * 2 + 1);
    GetDlgItemTextA(hwnd, IDC_VIEW_NAME, text.data(), int(text.size()));
    name = text.data();
    End(1);
  } else if (command.id == IDCANCEL) {
    End(0);
  }
}

int RenameViewDialog::Run(HWND owner) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
  return int(DialogBoxParamA(instance, MAKEINTRESOURCEA(ResourceInLanguage(IDD_RENAME_VIEW_JA, IDD_RENAME_VIEW_EN)),
                             owner, XDialog::DialogProc, reinterpret_cast<LPARAM>(this)));
}
