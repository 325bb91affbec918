// The common dialogs of File > Open... and File > Save As..., in the language in force.
#pragma once

#include <windows.h>

#include <string>

// The file to open; false when the user cancelled.
bool AskFileToOpen(HWND owner, std::string& path);
// Where to save and in which form; false when the user cancelled.
bool AskFileToSave(HWND owner, std::string& path, bool& jsonLines);
