// What the system says of the look: the DPI of a window, whether apps are to be dark, and the
// dark title bar. Each asks the system at the moment it is called.
#pragma once

#include <windows.h>

// The window's DPI: per window where the system tells it, else the screen's; 96 when unknown.
unsigned WindowDpi(HWND window);
// HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize, AppsUseLightTheme = 0.
bool SystemUsesDarkTheme();
// Asks the window manager for a dark (or light) title bar; systems without it ignore the call.
void ApplyDarkTitleBar(HWND window, bool dark);
