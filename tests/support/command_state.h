// Whether a command is enabled or checked, as a toolbar button or a menu item shows it.
#pragma once

#include <windows.h>

// TB_ISBUTTONENABLED; the toolbar may belong to another process.
bool ToolbarButtonEnabled(HWND toolbar, int command);
// The menu item of this command (found in the submenus too): false when there is none.
bool MenuCommandEnabled(HMENU menu, int command);
bool MenuCommandChecked(HMENU menu, int command);
