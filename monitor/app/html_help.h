// HTML Help, loaded at run time from the system directory; every call is a no-op without it.
#pragma once

#include <windows.h>

namespace html_help {

// HH_INITIALIZE with the cookie's address; the cookie stays 0 when the control is missing.
void Initialize(DWORD_PTR* cookie);
// HH_PRETRANSLATEMESSAGE: true when the control consumed the message.
bool PreTranslate(MSG* message);
void Uninitialize(DWORD_PTR cookie);
// Whether hhctrl.ocx was found and exports HtmlHelpA.
bool Available();

}  // namespace html_help
