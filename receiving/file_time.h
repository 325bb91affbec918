// The clocks of receiving: the system time as a FILETIME value, and the tick count of the drain
// budgets.
#pragma once

#include <windows.h>

#include <cstdint>

#include "receiving/line_stamps.h"

// UTC, 100 ns units since 1601.
inline uint64_t NowAsFileTime() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
}

// The local time of a FILETIME value; false when the system cannot convert it (a value past its
// range, from a foreign writer).
inline bool LocalTimeOf(uint64_t fileTime, SYSTEMTIME& local) {
  FILETIME utc;
  utc.dwLowDateTime = static_cast<DWORD>(fileTime);
  utc.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
  SYSTEMTIME system;
  return FileTimeToSystemTime(&utc, &system) && SystemTimeToTzSpecificLocalTime(nullptr, &system, &local);
}

// The local clock time and date of a FILETIME (UTC); of now when it is 0 or cannot be converted.
inline line_stamps::ClockTime LocalClockOf(uint64_t fileTime) {
  SYSTEMTIME local = {};
  if (fileTime == 0 || !LocalTimeOf(fileTime, local)) GetLocalTime(&local);
  line_stamps::ClockTime clock;
  clock.hour = local.wHour;
  clock.minute = local.wMinute;
  clock.second = local.wSecond;
  clock.millisecond = local.wMilliseconds;
  clock.year = local.wYear;
  clock.month = local.wMonth;
  clock.day = local.wDay;
  return clock;
}

// Milliseconds since start-up, wrapping.
inline uint32_t TickMilliseconds() { return GetTickCount(); }
