// A console in a real window for tests: creation, sizing in cells, rendering into a memory
// bitmap, mouse points of stored bytes, and clipboard access.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "console/console_test_host.h"

// Distinct colours for every pair, so each pixel tells which pair drew it.
inline ConsoleSettings TestSettings() {
  ConsoleSettings settings;
  settings.maxLines = 1000;
  settings.wrapColumn = 80;
  settings.bufferSize = 65536;
  settings.normalText = 0x000000;
  settings.normalBack = 0xFFFFFF;
  settings.hexText = 0x0000FF;
  settings.hexBack = 0x00FF00;
  settings.selectText = 0xFF0000;
  settings.selectBack = 0x00FFFF;
  return settings;
}

// The pixels of one Draw call, as COLORREF values.
struct Capture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  // How many pixels of the rectangle [left, right) x [top, bottom) have the colour.
  int Count(int left, int top, int right, int bottom, COLORREF colour) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += At(x, y) == colour;
    return n;
  }
};

class ConsoleFixture : public ::testing::Test {
 protected:
  XConsole console;
  HWND window = nullptr;

  void TearDown() override { DestroyTestConsole(console); }

  // Creates the console and sizes it so that the text area shows exactly columns x rows cells.
  void Create(const ConsoleSettings& settings, int columns = 40, int rows = 20) {
    window = CreateTestConsole(console, settings, 400, 400);
    ASSERT_NE(window, nullptr);
    console.MeasureFont();
    ASSERT_GT(console.charWidth, 0);
    ASSERT_GT(console.lineHeight, 0);
    RECT outer = {}, client = {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int width = kConsoleLeftMargin + columns * console.charWidth + (outer.right - outer.left - client.right);
    const int height = kConsoleTopMargin + rows * console.lineHeight + (outer.bottom - outer.top - client.bottom);
    SetWindowPos(console.parentWindow, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    Paint();
    ASSERT_EQ(console.view.visibleColumns, columns);
    ASSERT_EQ(console.view.visibleRows, rows);
  }

  // A real WM_PAINT through the window procedure.
  void Paint() {
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
  }

  // Writes and lets the paint follow, as the message loop would before the user can click.
  void Write(const std::string& bytes) {
    console.Write(bytes.data(), int(bytes.size()), 0);
    UpdateWindow(window);
  }

  // Renders the whole client area through Draw into a 32-bit memory bitmap.
  Capture Render() {
    Capture capture;
    RECT client = {};
    GetClientRect(window, &client);
    capture.width = client.right;
    capture.height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    scoped::Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    scoped::MemoryDC dc(nullptr);
    if (!bitmap.get() || !dc.get()) return capture;
    {
      scoped::Select selectedBitmap(dc.get(), bitmap.get());
      scoped::Font font(console.CreateConsoleFont());
      scoped::Select selectedFont(dc.get(), font.get());
      // Painting in the memory bitmap starts from black, so every pixel the console leaves
      // undrawn shows up.
      RECT all = client;
      FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      RECT rect = client;
      console.Draw(dc.get(), rect);
      GdiFlush();
    }
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    capture.pixels.resize(size_t(capture.width) * size_t(capture.height));
    for (size_t i = 0; i < capture.pixels.size(); ++i) {
      const uint32_t p = pixels[i];  // 0x00RRGGBB in a DIB
      capture.pixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    return capture;
  }

  // The client point in the middle of a cell.
  POINT CellPoint(int column, int row) const {
    return POINT{kConsoleLeftMargin + column * console.charWidth + console.charWidth / 2,
                 kConsoleTopMargin + row * console.lineHeight + console.lineHeight / 2};
  }
  void Mouse(UINT message, POINT point) { SendMessageA(window, message, 0, MAKELPARAM(point.x, point.y)); }
  void Mouse(UINT message, int x, int y) { SendMessageA(window, message, 0, MAKELPARAM(x, y)); }

  // The scroll bars follow at the next paint.
  int VScrollPos() const {
    UpdateWindow(window);
    return GetScrollPos(window, SB_VERT);
  }
  int HScrollPos() const {
    UpdateWindow(window);
    return GetScrollPos(window, SB_HORZ);
  }
};

inline bool SetClipboardText(const std::string& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  const bool done = SetClipboardData(CF_TEXT, memory) != nullptr;
  if (!done) GlobalFree(memory);
  CloseClipboard();
  return done;
}

inline std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "<clipboard busy>";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  } else {
    text = "<no text>";
  }
  CloseClipboard();
  return text;
}

// What the copy commands put on the clipboard: Unicode text, from which the system derives CF_TEXT.
inline std::wstring ClipboardUnicodeText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return L"<clipboard busy>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* units = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = units;
      GlobalUnlock(data);
    }
  } else {
    text = L"<no Unicode text>";
  }
  CloseClipboard();
  return text;
}
