// console_peek: prints what the running monitor's console holds, for scripts that must see the
// monitor work (scripts/run). Waits for vigilo.exe's main window, copies the whole console as the
// Edit menu's All Copy does, and writes the clipboard's text to standard output.
//
//   console_peek [milliseconds to wait for the window, default 20000]
// Exit status: 0 text printed (empty when the console is, or the clipboard could not be read),
// 2 no monitor window within the time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "monitor/resources/resource_ids.h"
#include "support/clipboard.h"
#include "support/monitor_process.h"

int main(int argc, char** argv) {
  const DWORD wait = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 20000;
  HWND window = nullptr;
  const bool shown = WaitUntil(
      [&] {
        window = FindWindowA("VIGILO WINDOW", nullptr);
        return window != nullptr && IsWindowVisible(window);
      },
      wait);
  if (!shown) {
    std::fprintf(stderr, "console_peek: no monitor window within %lu ms\n", static_cast<unsigned long>(wait));
    return 2;
  }
  ClearClipboard();
  SendMessageA(window, WM_COMMAND, ID_EDIT_ALL_COPY, 0);
  const std::string text = ClipboardText();
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
