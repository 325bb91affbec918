// The file named on vigilo.exe's command line: its first argument, quotes taken off. Portable.
#pragma once

#include <string>
#include <string_view>

// Empty when the line names none.
std::string FileOfCommandLine(std::string_view commandLine);
