// Reading and emptying the clipboard.
#include "support/clipboard.h"

#include <windows.h>

namespace {

bool OpenWithRetries() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

std::string ClipboardText() {
  std::string text;
  if (!OpenWithRetries()) return text;
  if (const HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

std::wstring ClipboardUnicode() {
  std::wstring text;
  if (!OpenWithRetries()) return text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = units;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void ClearClipboard() {
  if (!OpenWithRetries()) return;
  EmptyClipboard();
  CloseClipboard();
}
