// File > Save As...: a console's history written to a file, as text or as JSON lines; a file that
// cannot be written is told to the user in the language in force.
#pragma once

#include <windows.h>

#include <string>

#include "monitor/view/vgl_console.h"

// gutter: what the view draws before each line (null: nothing). True when the file was written.
bool SaveHistory(HWND owner, const VGL_Console& console, const LineGutter* gutter, const std::string& path,
                 bool jsonLines);
