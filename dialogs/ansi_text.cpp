// AnsiText: wide literal to the system's ANSI code page.
#include "dialogs/ansi_text.h"

void AnsiText(const wchar_t* text, char* out, int size) {
  if (!out || size <= 0) return;
  out[0] = '\0';
  if (!text) return;
  const int written = WideCharToMultiByte(CP_ACP, 0, text, -1, out, size, nullptr, nullptr);
  // A failed conversion may leave part of a double-byte pair behind: show nothing instead.
  if (written == 0) out[0] = '\0';
}
