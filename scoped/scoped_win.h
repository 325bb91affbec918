// Scope classes for the Win32 handles that the console, the dialogs and the monitor acquire: each
// releases what it took, in the scope that took it. Non-copyable; movable where ownership may pass on.
#pragma once

#include <windows.h>
#include <imm.h>

#include <utility>

namespace scoped {

// A kernel handle (file, mailslot, event, section, thread), closed at scope end. A null or
// INVALID_HANDLE_VALUE handle is held as empty.
class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) { reset(handle); }
  ~Handle() { reset(); }
  Handle(Handle&& other) noexcept : handle_(other.release()) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  HANDLE release() {
    const HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }
  void reset(HANDLE handle = nullptr) {
    if (handle_) CloseHandle(handle_);
    handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

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
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T object) : object_(object) {}
  ~GdiObject() { reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : object_(other.release()) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      reset();
      object_ = other.release();
    }
    return *this;
  }
  T get() const { return object_; }
  T release() { return std::exchange(object_, T()); }
  void reset() {
    if (object_) DeleteObject(object_);
    object_ = T();
  }

 private:
  T object_ = T();
};
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

// OpenClipboard .. CloseClipboard; opened() says whether it worked.
class Clipboard {
 public:
  explicit Clipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~Clipboard() {
    if (open_) CloseClipboard();
  }
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;
  bool opened() const { return open_; }

 private:
  bool open_;
};

// GlobalAlloc'd memory, freed unless release() handed it on (SetClipboardData takes it).
class GlobalMemory {
 public:
  GlobalMemory(UINT flags, SIZE_T size) : memory_(GlobalAlloc(flags, size)) {}
  ~GlobalMemory() {
    if (memory_) GlobalFree(memory_);
  }
  GlobalMemory(const GlobalMemory&) = delete;
  GlobalMemory& operator=(const GlobalMemory&) = delete;
  HGLOBAL get() const { return memory_; }
  HGLOBAL release() { return std::exchange(memory_, nullptr); }

 private:
  HGLOBAL memory_;
};

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
