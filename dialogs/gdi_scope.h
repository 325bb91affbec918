// Scope owners for the GDI handles the dialogs borrow: a window's device context and a solid brush.
#pragma once

#include <windows.h>

// GetDC on construction, ReleaseDC on the same window at scope end.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

class SolidBrush {
 public:
  explicit SolidBrush(COLORREF colour) : brush_(CreateSolidBrush(colour)) {}
  ~SolidBrush() {
    if (brush_) DeleteObject(brush_);
  }
  SolidBrush(const SolidBrush&) = delete;
  SolidBrush& operator=(const SolidBrush&) = delete;

  HBRUSH get() const { return brush_; }

 private:
  HBRUSH brush_;
};

// Selects an object into a device context and puts the previous one back at scope end, so the
// object can be deleted afterwards.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~SelectedObject() {
    if (previous_) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
