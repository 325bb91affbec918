// Debug output written as a service writes it, through the global objects of the listener
// protocol, and a global object held so that nobody may open it (what a user without the right
// to create global objects meets).
#pragma once

#include <windows.h>

#include <string>

#include "scoped/scoped_win.h"

// Waits up to `milliseconds` for the global listener to be ready, then writes this process's id
// and the text (cut to the section's 4,092 bytes) and tells it the data is there. False when no
// global listener's objects exist or it was not ready in time.
bool WriteGlobalDebugOutput(const std::string& text, DWORD milliseconds = 5000);

// Creates Global\DBWIN_BUFFER_READY with an empty DACL: a listener's CreateEvent of that name
// then fails with ERROR_ACCESS_DENIED while the handle is held. Empty when it could not.
scoped::Handle HoldGlobalDebugObjectDenied();
