// Keys pressed as a user presses them: through the system's input queue to the foreground window,
// so that a program's own message loop (its shortcuts) sees them.
#pragma once

#include <windows.h>

#include <initializer_list>

// Brings the window to the foreground and presses the keys together (the first held while the
// next go down, released in reverse order); false when the window could not be brought forward
// or the input was refused.
bool PressKeys(HWND window, std::initializer_list<WORD> keys);
