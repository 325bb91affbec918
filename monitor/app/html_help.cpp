// HTML Help through hhctrl.ocx, loaded by full path from the system directory.
#include "monitor/app/html_help.h"

#include <cstring>

namespace html_help {

namespace {

// Values of htmlhelp.h, which not every tool chain ships.
constexpr UINT kInitialize = 0x001C;
constexpr UINT kUninitialize = 0x001D;
constexpr UINT kPreTranslateMessage = 0x00FD;

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// Loaded by full path, never through the default search order, which starts in the program's
// own folder where a planted DLL would run inside the monitor.
class Library {
 public:
  Library() {
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    constexpr char kName[] = "\\hhctrl.ocx";
    if (length == 0 || length + sizeof kName > sizeof path) return;
    std::strcpy(path + length, kName);
    module_ = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module_) function_ = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(GetProcAddress(module_, "HtmlHelpA")));
  }
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  HWND Call(UINT command, DWORD_PTR data) const {
    return function_ ? function_(nullptr, nullptr, command, data) : nullptr;
  }
  bool Loaded() const { return function_ != nullptr; }

 private:
  HMODULE module_ = nullptr;
  HtmlHelpFunction function_ = nullptr;
};

const Library& TheLibrary() {
  static const Library library;
  return library;
}

}  // namespace

void Initialize(DWORD_PTR* cookie) {
  TheLibrary().Call(kInitialize, reinterpret_cast<DWORD_PTR>(cookie));
}

bool PreTranslate(MSG* message) {
  return TheLibrary().Call(kPreTranslateMessage, reinterpret_cast<DWORD_PTR>(message)) != nullptr;
}

void Uninitialize(DWORD_PTR cookie) { TheLibrary().Call(kUninitialize, cookie); }

bool Available() { return TheLibrary().Loaded(); }

}  // namespace html_help
