// NumberEdit: the spin control beside a number box, and reading the box back through the text rule.
#include "dialogs/number_edit.h"

#include <commctrl.h>

#include <cstdio>

#include "dialogs/number_text.h"

void NumberEdit::Bind(HWND dialogWindow, int controlId, int32_t initial, int32_t low, int32_t high) {
  dialog = dialogWindow;
  id = controlId;
  value = initial;
  minimum = low;
  maximum = high;
  if (!dialog) return;
  // UDS_ALIGNRIGHT places and sizes the spin control against its buddy, so the nominal
  // rectangle only has to be non-empty. UDS_SETBUDDYINT writes the initial number into the box.
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
  const HWND spin = CreateUpDownControl(WS_CHILD | WS_VISIBLE | WS_BORDER | UDS_SETBUDDYINT | UDS_ALIGNRIGHT |
                                            UDS_NOTHOUSANDS,
                                        10, 10, 50, 50, dialog, -1, instance, GetDlgItem(dialog, id), maximum,
                                        minimum, value);
  // The creation call sets a 16-bit range and position; numbers past 32767 need the 32-bit ones.
  if (spin && (maximum > 0x7FFF || minimum < -0x8000)) {
    SendMessageA(spin, UDM_SETRANGE32, WPARAM(minimum), LPARAM(maximum));
    SendMessageA(spin, UDM_SETPOS32, 0, LPARAM(value));
  }
}

int32_t NumberEdit::Read() {
  if (!dialog) return value;
  const HWND box = GetDlgItem(dialog, id);
  char text[32] = {};
  GetWindowTextA(box, text, sizeof text);
  value = AcceptNumberText(text, value, minimum, maximum);
  char shown[16];
  std::snprintf(shown, sizeof shown, "%d", static_cast<int>(value));
  SetWindowTextA(box, shown);
  return value;
}
