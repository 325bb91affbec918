// Scope classes for the Win32 handles that the console, the dialogs and the monitor acquire: each
// releases what it took, in the scope that took it. Non-copyable; movable where ownership may pass on.
#pragma once

#include <windows.h>
#include <imm.h>

#include <utility>

namespace scoped {

// The one owner of a handle kind: Traits gives the handle type, its empty value and how a handle
// of the kind is closed. Closes what it holds exactly once (at scope end, on reset, or when a move
// assigns over it); a move leaves the source empty, release hands the handle on unclosed.
template <typename Traits>
class Unique {
 public:
  using Type = typename Traits::Type;

  Unique() = default;
  explicit Unique(Type handle) { reset(handle); }
  ~Unique() { reset(); }
  Unique(Unique&& other) noexcept : handle_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;

  Type get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Empty(); }
  Type release() { return std::exchange(handle_, Traits::Empty()); }
  void reset(Type handle = Traits::Empty()) {
    const Type previous = std::exchange(handle_, Traits::IsEmpty(handle) ? Traits::Empty() : handle);
    if (previous != Traits::Empty()) Traits::Close(previous);
  }

 private:
  Type handle_ = Traits::Empty();
};

// A kind whose failure value is null: what most creation functions return.
template <typename T, void (*CloseFunction)(T)>
struct NullEmptyTraits {
  using Type = T;
  static constexpr T Empty() { return T(); }
  static bool IsEmpty(T handle) { return handle == T(); }
  static void Close(T handle) { CloseFunction(handle); }
};

// The closing calls as functions of one shape, to be named as template arguments (the Win32
// functions return BOOL, a handle or nothing).
namespace closing {
inline void KernelHandle(HANDLE handle) { CloseHandle(handle); }
template <typename T>
void GdiObject(T object) { DeleteObject(object); }
inline void Global(HGLOBAL memory) { GlobalFree(memory); }
inline void Menu(HMENU menu) { DestroyMenu(menu); }
inline void Module(HMODULE module) { FreeLibrary(module); }
inline void View(void* view) { UnmapViewOfFile(view); }
}  // namespace closing

// A kernel handle (file, mailslot, event, section, thread), closed at scope end. A null or
// INVALID_HANDLE_VALUE handle is held as empty: CreateFile and CreateMailslot fail with the one,
// the other creation functions with the other.
struct KernelHandleTraits : NullEmptyTraits<HANDLE, closing::KernelHandle> {
  static bool IsEmpty(HANDLE handle) { return handle == nullptr || handle == INVALID_HANDLE_VALUE; }
};
using Handle = Unique<KernelHandleTraits>;

// A DC from GetDC, released to the same window.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint .. EndPaint.
class PaintDC {
 public:
  explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  ~PaintDC() { EndPaint(window_, &paint_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_ = {};
  HDC dc_;
};

// A memory DC from CreateCompatibleDC.
class MemoryDC {
 public:
  explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// An owned GDI object (font, brush, bitmap), deleted at scope end.
template <typename T>
using GdiObject = Unique<NullEmptyTraits<T, closing::GdiObject<T>>>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

// A brush of one colour, made by CreateSolidBrush and deleted at scope end.
class SolidBrush : public Brush {
 public:
  explicit SolidBrush(COLORREF colour) : Brush(CreateSolidBrush(colour)) {}
};

// An object selected into a DC; the previous one is selected back at scope end, so the object can
// be deleted afterwards.
class Select {
 public:
  Select(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~Select() {
    if (previous_) SelectObject(dc_, previous_);
  }
  Select(const Select&) = delete;
  Select& operator=(const Select&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// OpenClipboard .. CloseClipboard; opened() says whether it worked. Another program may hold the
// clipboard for a moment (a clipboard manager copies what was just put there): the open is tried
// again for up to half a second before it gives up.
class Clipboard {
 public:
  explicit Clipboard(HWND owner) : open_(Open(owner)) {}
  ~Clipboard() {
    if (open_) CloseClipboard();
  }
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;
  bool opened() const { return open_; }

 private:
  static bool Open(HWND owner) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      if (OpenClipboard(owner)) return true;
      Sleep(kPauseMs);
    }
    return false;
  }
  static constexpr int kAttempts = 20;
  static constexpr DWORD kPauseMs = 25;

  bool open_;
};

// GlobalAlloc'd memory, freed unless release() handed it on (SetClipboardData takes it).
class GlobalMemory : public Unique<NullEmptyTraits<HGLOBAL, closing::Global>> {
 public:
  GlobalMemory(UINT flags, SIZE_T size) : Unique(GlobalAlloc(flags, size)) {}
};

// A menu from CreateMenu or CreatePopupMenu, destroyed at scope end (with its submenus). A menu
// given to a window or inserted into another menu belongs there: release() it.
using Menu = Unique<NullEmptyTraits<HMENU, closing::Menu>>;

// A module from LoadLibrary, freed at scope end (the system unloads it with its last reference).
using Library = Unique<NullEmptyTraits<HMODULE, closing::Module>>;

// A DLL of the system folder, loaded by full path: never through the default search order, which
// starts in the program's own folder where a planted DLL would run inside the program. Empty when
// it cannot be loaded.
inline Library LoadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  const size_t nameLength = size_t(lstrlenA(name));
  if (length == 0 || length + 1 + nameLength + 1 > size_t(MAX_PATH)) return Library();
  path[length] = '\\';
  lstrcpyA(path + length + 1, name);
  return Library(LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

// A view of a file mapping from MapViewOfFile, unmapped at scope end.
using MappedView = Unique<NullEmptyTraits<void*, closing::View>>;

// GlobalLock .. GlobalUnlock of memory someone else owns.
class GlobalLock {
 public:
  explicit GlobalLock(HGLOBAL memory) : memory_(memory), data_(memory ? ::GlobalLock(memory) : nullptr) {}
  ~GlobalLock() { unlock(); }
  GlobalLock(const GlobalLock&) = delete;
  GlobalLock& operator=(const GlobalLock&) = delete;
  void* data() const { return data_; }
  void unlock() {
    if (data_) GlobalUnlock(memory_);
    data_ = nullptr;
  }

 private:
  HGLOBAL memory_;
  void* data_;
};

// The thread's caret while a window owns it: Create after the focus came, Destroy when it goes.
class Caret {
 public:
  Caret() = default;
  ~Caret() { Destroy(); }
  Caret(const Caret&) = delete;
  Caret& operator=(const Caret&) = delete;
  bool Create(HWND window, int width, int height) {
    Destroy();
    owned_ = CreateCaret(window, nullptr, width, height) != FALSE;
    return owned_;
  }
  void Destroy() {
    if (owned_) DestroyCaret();
    owned_ = false;
  }
  bool owned() const { return owned_; }

 private:
  bool owned_ = false;
};

// The input context of a window, ImmGetContext .. ImmReleaseContext.
class InputContext {
 public:
  explicit InputContext(HWND window) : window_(window), context_(ImmGetContext(window)) {}
  ~InputContext() {
    if (context_) ImmReleaseContext(window_, context_);
  }
  InputContext(const InputContext&) = delete;
  InputContext& operator=(const InputContext&) = delete;
  HIMC get() const { return context_; }

 private:
  HWND window_;
  HIMC context_;
};

}  // namespace scoped
