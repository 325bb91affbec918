// Splitting paths and cutting texts in the ANSI code page, whose double-byte characters must stay whole.
#pragma once

#include <windows.h>

#include <cstddef>

// Length of the directory part of path, through its last backslash; 0 when it has none. Under a
// double-byte code page (932: the trail byte of "ソ" or "表" is 0x5C) only a single-byte
// backslash separates: trail bytes are stepped over with their lead byte.
std::size_t DirectoryPartLength(const char* path, UINT codePage);

// Ends a text that a byte limit may have cut in the middle of a double-byte character before
// that character's lone lead byte, so no half character is kept. Returns the new length.
std::size_t CutToWholeCharacters(char* text, UINT codePage);
