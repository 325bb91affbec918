// The DPI, the app theme from the registry and the title bar's dark mode, each found at run time:
// the functions exist only on newer systems.
#include "monitor/app/system_look.h"

#include "monitor/app/display_scale.h"
#include "scoped/scoped_win.h"

namespace {

// dwmapi.dll from the system folder only, never from the program's own (a planted DLL there);
// loaded once, freed at exit.
HMODULE DwmLibrary() {
  static const scoped::Library library = scoped::LoadSystemLibrary("dwmapi.dll");
  return library.get();
}

}  // namespace

unsigned WindowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && window) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi != 0) return dpi;
  }
  scoped::WindowDC dc(nullptr);
  const int dpi = dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<unsigned>(dpi) : display_scale::kBaseDpi;
}

bool SystemUsesDarkTheme() {
  DWORD light = 1;
  DWORD size = sizeof light;
  const LSTATUS status =
      RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                   "AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size);
  return status == ERROR_SUCCESS && light == 0;
}

void ApplyDarkTitleBar(HWND window, bool dark) {
  using SetAttributeFunction = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  const HMODULE library = DwmLibrary();
  if (!library || !window) return;
  const auto setAttribute = reinterpret_cast<SetAttributeFunction>(
      reinterpret_cast<void*>(GetProcAddress(library, "DwmSetWindowAttribute")));
  if (!setAttribute) return;
  // DWMWA_USE_IMMERSIVE_DARK_MODE is 20; builds of Windows 10 before 20H1 knew it as 19.
  const BOOL value = dark ? TRUE : FALSE;
  if (FAILED(setAttribute(window, 20, &value, sizeof value))) setAttribute(window, 19, &value, sizeof value);
}
