// AnsiText: user-visible texts kept as wide literals and turned into the ANSI code page for the A functions.
#pragma once

#include <windows.h>

// The texts exist as UTF-16 literals so that one source file carries Japanese and English
// whatever the compiler's execution character set; the ANSI (A) functions then get them in the
// system's code page (cp932 on Japanese systems). Always NUL-terminated; empty when the
// converted text does not fit (the callers' buffers are sized for their texts).
void AnsiText(const wchar_t* text, char* out, int size);

template <int N>
void AnsiText(const wchar_t* text, char (&out)[N]) {
  AnsiText(text, out, N);
}
