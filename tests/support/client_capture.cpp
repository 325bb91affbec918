// Copies a window's client area from the screen into memory and reads it back pixel by pixel.
#include "support/client_capture.h"

ClientCapture CaptureClient(HWND window) {
  ClientCapture capture;
  RECT client;
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  capture.width = client.right;
  capture.height = client.bottom;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, capture.width, capture.height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, capture.width, capture.height, screen, origin.x, origin.y, SRCCOPY);
  capture.pixels.resize(static_cast<size_t>(capture.width) * capture.height);
  for (int y = 0; y < capture.height; ++y) {
    for (int x = 0; x < capture.width; ++x) capture.pixels[static_cast<size_t>(y) * capture.width + x] = GetPixel(memory, x, y);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}
