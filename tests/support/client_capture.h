// The client area of a window as the screen shows it, for tests that look at pixels.
#pragma once

#include <windows.h>

#include <vector>

struct ClientCapture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;  // one per pixel, row by row
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

ClientCapture CaptureClient(HWND window);
