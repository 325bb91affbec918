// HTML Help through hhctrl.ocx, loaded by full path from the system directory.
#include "monitor/app/html_help.h"

#include "scoped/scoped_win.h"

namespace html_help {

namespace {

// Values of htmlhelp.h, which not every tool chain ships.
constexpr UINT kInitialize = 0x001C;
constexpr UINT kUninitialize = 0x001D;
constexpr UINT kPreTranslateMessage = 0x00FD;

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// hhctrl.ocx of the system folder (scoped::LoadSystemLibrary) and its entry point.
class Library {
 public:
  Library() : module_(scoped::LoadSystemLibrary("hhctrl.ocx")) {
    if (module_) function_ = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(GetProcAddress(module_.get(), "HtmlHelpA")));
  }

  HWND Call(UINT command, DWORD_PTR data) const {
    return function_ ? function_(nullptr, nullptr, command, data) : nullptr;
  }
  bool Loaded() const { return function_ != nullptr; }

 private:
  scoped::Library module_;
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
