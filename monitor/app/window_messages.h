// The main window's own messages and timers, which its components post and set.
#pragma once

#include <windows.h>

// Posted to the main window: wParam a TroubleSink::Trouble, lParam the system's error code.
constexpr UINT kTroubleMessage = WM_APP + 10;
// Posted by the reading thread when datagrams come after a quiet spell: a tick at once.
constexpr UINT kWakeMessage = WM_APP + 11;
// Posted to itself after a file was handed over: the files are opened from the loop.
constexpr UINT kOpenHandedFiles = WM_APP + 12;
// Timer 1 of the main window: the tick, and its slower period while nothing comes.
constexpr UINT_PTR kReceiveTimer = 1;
// While the history is decided again: a slice at each firing, between the user's input.
constexpr UINT_PTR kRefilterTimer = 2;
constexpr UINT kRefilterPeriodMs = 10;
constexpr DWORD kRefilterSliceMs = 25;
constexpr UINT kTickPeriodMs = 50;
constexpr UINT kIdleTickPeriodMs = 250;
constexpr int kTicksBeforeIdle = 20;
constexpr DWORD kFloodPaintPeriodMs = 150;
