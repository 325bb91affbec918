// The parts of a status bar and their texts, read from this process or from another one: the
// control's messages take pointers, which another process can only fill in its own memory.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The right edges of the parts (SB_GETPARTS); empty when they cannot be read.
std::vector<int> StatusBarParts(HWND bar);
// The text of one part (SB_GETTEXTA), in the ANSI code page; empty when it cannot be read.
std::string StatusBarText(HWND bar, int part);
