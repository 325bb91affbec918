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

namespace {

// The clipboard's text in one format, as the string type of its characters.
template <typename Text>
Text ClipboardOf(UINT format) {
  Text text;
  if (!OpenWithRetries()) return text;
  if (const HANDLE data = GetClipboardData(format)) {
    if (const auto* characters = static_cast<const typename Text::value_type*>(GlobalLock(data))) {
      text = characters;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace

std::string ClipboardText() { return ClipboardOf<std::string>(CF_TEXT); }

std::wstring ClipboardUnicode() { return ClipboardOf<std::wstring>(CF_UNICODETEXT); }

void ClearClipboard() {
  if (!OpenWithRetries()) return;
  EmptyClipboard();
  CloseClipboard();
}
