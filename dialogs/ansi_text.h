// AnsiText: a wide text turned into the ANSI code page for the A functions.
#pragma once

#include <windows.h>

// A UTF-16 literal carries Japanese and English whatever the compiler's execution character
// set; the ANSI (A) functions then get it in the system's code page (cp932 on Japanese
// systems), the conversion LoadStringA applies to the monitor's string tables. Always
// NUL-terminated; empty when the converted text does not fit.
void AnsiText(const wchar_t* text, char* out, int size);

template <int N>
void AnsiText(const wchar_t* text, char (&out)[N]) {
  AnsiText(text, out, N);
}
