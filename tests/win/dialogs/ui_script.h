// UiScript: drives the modal dialogs that a call shows on this thread, one step per timer tick.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A thread timer fires inside whatever modal loop runs (dialog, property sheet, message box,
// common dialog); each tick looks for the window the next step waits for and acts on it.
class UiScript {
 public:
  using Find = std::function<HWND()>;
  using Act = std::function<void(HWND)>;

  UiScript& Then(Find find, Act act);
  // Runs body, which shows the dialogs. Returns true when every step ran; on a timeout the
  // dialogs still open are cancelled so that body returns.
  bool Run(const std::function<void()>& body, int timeoutMs = 10000);

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  struct Step {
    Find find;
    Act act;
  };
  std::vector<Step> steps_;
  size_t next_ = 0;
  DWORD deadline_ = 0;
  bool timedOut_ = false;
};

// The visible top-level dialog of this thread that has a control with this identifier.
HWND DialogWithControl(int id);
// The visible top-level window of this thread with this caption (wide, so either language).
HWND WindowWithCaption(const wchar_t* caption);
// Text of a window in the ANSI code page.
std::string TextOf(HWND window);
std::wstring WideTextOf(HWND window);
// Presses a push button as a click would: WM_COMMAND with BN_CLICKED, posted.
void PostClick(HWND dialog, int id);
