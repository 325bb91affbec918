// Key presses through SendInput to a window brought to the foreground.
#include "support/keyboard.h"

#include <vector>

bool PressKeys(HWND window, std::initializer_list<WORD> keys) {
  SetForegroundWindow(window);
  // The window takes the foreground asynchronously when it belongs to another process.
  for (int attempt = 0; attempt < 50 && GetForegroundWindow() != window; ++attempt) Sleep(20);
  if (GetForegroundWindow() != window) return false;
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = keys.end(); key != keys.begin();) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *--key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}
