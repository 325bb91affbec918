// Console benchmark: paint time of a 120 x 50 cell window by amount stored, wrapping and hex
// mode, and Write throughput of 60-byte messages including the discards of a full store.
// Prints figures; never fails on time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "console/console_test_host.h"

namespace {

constexpr int kColumns = 120;
constexpr int kRows = 50;

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

// Text of roughly the given size: lines of lineLength bytes (a tab and a control byte in each)
// ending in CR LF.
std::string Text(size_t bytes, size_t lineLength) {
  std::string text;
  text.reserve(bytes + lineLength);
  for (int n = 0; text.size() < bytes; ++n) {
    char head[40];
    snprintf(head, sizeof(head), "%06d\tvalue=%d\x01 ", n, n * 7);
    std::string line = head;
    while (line.size() + 2 < lineLength) line += char('a' + line.size() % 26);
    text += line + "\r\n";
  }
  text.resize(bytes);
  return text;
}

HWND CreateSized(XConsole& console, const ConsoleSettings& settings) {
  HWND window = CreateTestConsole(console, settings, 200, 200);
  if (!window) return nullptr;
  console.MeasureFont();
  RECT outer = {}, client = {};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  const int width = 4 + kColumns * console.charWidth + (outer.right - outer.left - client.right);
  const int height = 2 + kRows * console.lineHeight + (outer.bottom - outer.top - client.bottom);
  SetWindowPos(console.parentWindow, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateWindow(window);
  return window;
}

// Median microseconds of one paint: through Draw into a memory bitmap, and a full WM_PAINT.
void PaintCase(const char* name, size_t stored, bool wrapped, bool hex) {
  XConsole console;
  ConsoleSettings settings;
  settings.bufferSize = int(std::max<size_t>(size_t(2) << 20, stored + (stored >> 4)));
  settings.wrapColumn = wrapped ? 80 : 256;
  settings.hexMode = hex ? 1 : 0;
  strcpy(settings.fontName, "Courier");
  HWND window = CreateSized(console, settings);
  if (!window) {
    printf("%-34s could not create the console\n", name);
    return;
  }
  // Wrapped: lines of 300 bytes stored as rows of 80; unwrapped: lines of 100 bytes.
  const std::string text = Text(std::min<size_t>(stored, 1 << 20), wrapped ? 300 : 100);
  console.HoldPaint();
  for (size_t written = 0; written < stored; written += text.size()) console.Write(text.data(), int(text.size()), 0);
  console.ReleasePaint(true);
  if (console.text.used + 300 < stored) {
    printf("%-34s could not hold %zu bytes (%u KB)\n", name, stored, console.text.capacity / 1024);
    DestroyTestConsole(console);
    return;
  }
  UpdateWindow(window);
  RECT client = {};
  GetClientRect(window, &client);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HFONT font = console.CreateConsoleFont();
  HGDIOBJ oldFont = SelectObject(memory, font);
  const int repeats = 60;
  std::vector<double> draw, paint;
  for (int i = 0; i < repeats; ++i) {
    const int save = SaveDC(memory);
    RECT rect = client;
    const double start = Now();
    console.Draw(memory, rect);
    GdiFlush();
    draw.push_back(Now() - start);
    RestoreDC(memory, save);
    InvalidateRect(window, nullptr, FALSE);
    const double paintStart = Now();
    UpdateWindow(window);
    paint.push_back(Now() - paintStart);
  }
  std::sort(draw.begin(), draw.end());
  std::sort(paint.begin(), paint.end());
  printf("%-34s %8zu bytes %6u lines  Draw %7.0f us  WM_PAINT %7.0f us\n", name, size_t(console.text.used),
         console.text.lineCount, draw[draw.size() / 2] * 1e6, paint[paint.size() / 2] * 1e6);
  SelectObject(memory, oldFont);
  DeleteObject(font);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
  DestroyTestConsole(console);
}

// Writes total bytes as 60-byte messages into a console of the given capacity.
void WriteCase(size_t capacity, size_t total, bool withWindow) {
  XConsole console;
  ConsoleSettings settings;
  settings.bufferSize = int(capacity);
  settings.wrapColumn = 256;
  HWND window = nullptr;
  if (withWindow) {
    window = CreateSized(console, settings);
  } else {
    console.settings = settings;
    console.text.Allocate(uint32_t(capacity), uint32_t(settings.maxLines), uint32_t(settings.wrapColumn));
  }
  std::vector<std::string> messages;
  for (int n = 0; n < 1000; ++n) {
    char message[64];
    snprintf(message, sizeof(message), "message %06d from a client, sixty bytes in all..........\r\n", n);
    messages.emplace_back(message);  // 60 bytes
  }
  const size_t count = total / 60;
  const double start = Now();
  for (size_t i = 0; i < count; ++i) {
    const std::string& m = messages[i % messages.size()];
    if (withWindow) {
      console.Write(m.data(), int(m.size()), 0);
    } else {
      console.text.Append(reinterpret_cast<const uint8_t*>(m.data()), uint32_t(m.size()));
    }
  }
  const double seconds = Now() - start;
  printf("%-14s capacity %7zu  %6.1f MB written  %8.1f MB/s  %10.0f messages/s  (%.0f ns/message)\n",
         withWindow ? "Write" : "store Append", capacity, double(count * 60) / 1e6, double(count * 60) / 1e6 / seconds,
         double(count) / seconds, seconds / double(count) * 1e9);
  if (window) DestroyTestConsole(console);
}

}  // namespace

int main() {
  printf("Paint of a %d x %d cell console (median of 60)\n", kColumns, kRows);
  const struct {
    const char* name;
    size_t stored;
    bool wrapped, hex;
  } cases[] = {
      {"empty", 0, false, false},
      {"64 KiB unwrapped", 64 << 10, false, false},
      {"1 MiB unwrapped", 1 << 20, false, false},
      {"64 KiB wrapped", 64 << 10, true, false},
      {"1 MiB wrapped", 1 << 20, true, false},
      {"empty hex", 0, false, true},
      {"64 KiB unwrapped hex", 64 << 10, false, true},
      {"1 MiB unwrapped hex", 1 << 20, false, true},
      {"64 KiB wrapped hex", 64 << 10, true, true},
      {"1 MiB wrapped hex", 1 << 20, true, true},
      {"64 MiB unwrapped", size_t(64) << 20, false, false},
      {"1 GiB unwrapped", size_t(1) << 30, false, false},
  };
  for (const auto& c : cases) PaintCase(c.name, c.stored, c.wrapped, c.hex);

  printf("\nWrite of 60-byte messages (discarding old lines once the store is full)\n");
  for (size_t capacity : {size_t(64) << 10, size_t(64) << 20}) {
    WriteCase(capacity, 6 << 20, true);
    WriteCase(capacity, 60 << 20, true);
    WriteCase(capacity, 60 << 20, false);
  }
  return 0;
}
