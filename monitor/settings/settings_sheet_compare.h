// Whether the settings sheet's result differs from what the running console shows.
// Portable: no Windows header.
#pragma once

#include "console/console_settings.h"

// Compares the fifteen settings the sheet edits (wrap column, scroll bars, hexadecimal display,
// automatic scrolling, buffer size, tab width, font size and name, six colours); the font name
// byte for byte. The fields the sheet does not edit are ignored.
bool SheetSettingsDiffer(const ConsoleSettings& sheet, const ConsoleSettings& running);
