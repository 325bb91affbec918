// A host for an XConsole outside the monitor, for tests and benchmarks: a top-level frame window
// with the console as its child, created the way the monitor creates its console.
#pragma once

#include <windows.h>

#include "console/x_console.h"

// Window class of the hosted console (the monitor's own console class is separate).
constexpr char kTestConsoleClass[] = "XCONSOLE TEST CONSOLE";

// Copies settings into the console, allocates its store, and creates a shown frame at (0, 0)
// holding the console window of width x height pixels (scroll bars included). Returns the
// console window, or null when the settings refuse a store or a window cannot be created.
HWND CreateTestConsole(XConsole& console, const ConsoleSettings& settings, int width, int height);

// Destroys the frame (and with it the console window) of a console made by CreateTestConsole.
void DestroyTestConsole(XConsole& console);

// Window procedure of kTestConsoleClass: finds the console through GWLP_USERDATA, dispatches,
// and passes every message on to DefWindowProcA.
LRESULT CALLBACK TestConsoleWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
