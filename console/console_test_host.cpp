// Hosting an XConsole in a plain frame window for tests and benchmarks.
#include "console/console_test_host.h"

namespace {

constexpr char kFrameClass[] = "XCONSOLE TEST FRAME";

bool RegisterClasses(HINSTANCE instance) {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSA console = {};
  console.style = CS_HREDRAW | CS_VREDRAW;
  console.lpfnWndProc = TestConsoleWndProc;
  console.hInstance = instance;
  console.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
  console.lpszClassName = kTestConsoleClass;  // no background brush: the console paints it all
  WNDCLASSA frame = {};
  frame.lpfnWndProc = DefWindowProcA;
  frame.hInstance = instance;
  frame.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  frame.lpszClassName = kFrameClass;
  registered = RegisterClassA(&console) && RegisterClassA(&frame);
  return registered;
}

}  // namespace

LRESULT CALLBACK TestConsoleWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  // No exception may unwind into the system's code that called this procedure: a console
  // operation that throws (an allocation failure, a subclass's own error) ends here.
  try {
    if (XConsole* console = reinterpret_cast<XConsole*>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
      console->Dispatch(window, message, wParam, lParam);
    }
  } catch (...) {
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateTestConsole(XConsole& console, const ConsoleSettings& settings, int width, int height) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterClasses(instance) || console.window) return nullptr;
  console.settings = settings;
  if (settings.maxLines < 0 || settings.wrapColumn <= 0 || settings.bufferSize <= 0) return nullptr;
  console.text.Allocate(uint32_t(settings.bufferSize), uint32_t(settings.maxLines), uint32_t(settings.wrapColumn));
  HWND frame = CreateWindowExA(0, kFrameClass, "console test", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                               nullptr, nullptr, instance, nullptr);
  if (!frame) return nullptr;
  console.parentWindow = frame;
  HWND window = CreateWindowExA(0, kTestConsoleClass, nullptr, WS_CHILD | WS_VSCROLL | WS_HSCROLL, 0, 0,
                                width, height, frame, nullptr, instance, &console);
  if (!window) {
    DestroyWindow(frame);
    return nullptr;
  }
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return window;
}

void DestroyTestConsole(XConsole& console) {
  if (console.parentWindow) DestroyWindow(console.parentWindow);
  console.parentWindow = nullptr;
  console.window = nullptr;
  console.view.window = nullptr;
}
