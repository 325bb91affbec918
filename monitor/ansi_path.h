// Splitting a path in the ANSI code page, where a double-byte character's trail byte can be 0x5C.
#pragma once

#include <windows.h>

#include <cstddef>

// Length of the directory part of path, through its last backslash; 0 when it has none. Under a
// double-byte code page (932: the trail byte of "ソ" or "表" is 0x5C) only a single-byte
// backslash separates: trail bytes are stepped over with their lead byte.
std::size_t DirectoryPartLength(const char* path, UINT codePage);
