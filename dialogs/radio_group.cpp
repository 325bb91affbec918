// RadioGroup: binding, clicking and reading a run of radio buttons.
#include "dialogs/radio_group.h"

void RadioGroup::Bind(HWND dialogWindow, int firstId, int buttonCount, int selected) {
  dialog = dialogWindow;
  first = firstId;
  count = buttonCount;
  if (dialog) CheckRadioButton(dialog, first, first + count - 1, first + selected);
}

void RadioGroup::Click(int id) {
  // Unsigned comparison: an identifier below first is not part of the group either.
  if (dialog && static_cast<unsigned>(id - first) < static_cast<unsigned>(count))
    CheckRadioButton(dialog, first, first + count - 1, id);
}

int RadioGroup::Selected() const {
  if (!dialog) return kNone;
  for (int index = 0; index < count; ++index)
    if (IsDlgButtonChecked(dialog, first + index)) return index;
  return kNone;
}
