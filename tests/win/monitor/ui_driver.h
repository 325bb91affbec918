// Helpers for driving the monitor's windows from inside the test process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Dispatches this thread's messages for the given time.
inline void Pump(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(5);
  } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

inline std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (const HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// Runs an action on the first dialog box this thread shows, from inside its modal loop.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> action) {
    current_ = this;
    action_ = std::move(action);
    timer_ = SetTimer(nullptr, 0, 30, OnTimer);
  }
  ~DialogDriver() {
    if (timer_) KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  bool ran() const { return ran_; }

 private:
  static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char name[16];
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(window)) {
      *reinterpret_cast<HWND*>(found) = window;
      return FALSE;
    }
    return TRUE;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    DialogDriver* self = current_;
    if (!self || self->ran_) return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    self->ran_ = true;
    KillTimer(nullptr, self->timer_);
    self->timer_ = 0;
    self->action_(dialog);
  }

  static inline DialogDriver* current_ = nullptr;
  std::function<void(HWND)> action_;
  UINT_PTR timer_ = 0;
  bool ran_ = false;
};
