// Toolbar and menu command states.
#include "support/command_state.h"

#include <commctrl.h>

bool ToolbarButtonEnabled(HWND toolbar, int command) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(toolbar, TB_ISBUTTONENABLED, static_cast<WPARAM>(command), 0, SMTO_NORMAL, 5000, &result);
  return result != 0;
}

bool MenuCommandEnabled(HMENU menu, int command) {
  const UINT state = GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

bool MenuCommandChecked(HMENU menu, int command) {
  const UINT state = GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}
