// The clipboard's text, as the monitor's copy commands leave it.
#pragma once

#include <string>

// The CF_TEXT contents, empty when there are none. Waits up to a second for a clipboard that
// another window holds open.
std::string ClipboardText();
// The CF_UNICODETEXT contents, the same way.
std::wstring ClipboardUnicode();
// Empties the clipboard, so a later read tells whether a copy happened.
void ClearClipboard();
