// CheckBoxControl: binding and reading one check box.
#include "dialogs/check_box_control.h"

void CheckBoxControl::Bind(HWND dialogWindow, int controlId, int state) {
  if (!dialogWindow) return;
  dialog = dialogWindow;
  id = controlId;
  CheckDlgButton(dialog, id, state ? BST_CHECKED : BST_UNCHECKED);
}

int CheckBoxControl::IsChecked() const {
  if (!dialog) return 0;
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}
