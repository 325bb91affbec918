// ViewTabs: the tabs of the views above the console, one per view, named as the views are; drawn
// by the owner in the console's colours, so that they follow a dark theme, and scaled with the
// display.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "scoped/scoped_win.h"

class ViewTabs {
 public:
  ViewTabs() = default;
  ViewTabs(const ViewTabs&) = delete;
  ViewTabs& operator=(const ViewTabs&) = delete;

  bool Create(HWND parent, unsigned dpi);
  HWND window() const { return window_; }
  // The font of the display scale, and the strip's height with it.
  void SetDpi(unsigned dpi);
  int Height() const { return window_ ? height_ : 0; }
  // One tab per name, the one at `current` selected; only what changed is told to the control.
  // True when the strip's height changed: the owner lays its children out again.
  bool Show(const std::vector<std::string>& names, size_t current);
  int Selected() const;
  // The colours the tabs are drawn in: the shown tab in the console's, the others a step off.
  void SetColours(COLORREF text, COLORREF back);
  // WM_DRAWITEM of a tab.
  void Draw(const DRAWITEMSTRUCT& item) const;
  // The tab under a point of the screen; -1 when none.
  int TabAt(POINT screen) const;

 private:
  static LRESULT CALLBACK StripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR data);
  HWND window_ = nullptr;
  scoped::Font font_;
  int height_ = 0;
  COLORREF text_ = RGB(0, 0, 0), back_ = RGB(255, 255, 255);
  std::vector<std::string> names_;
};
