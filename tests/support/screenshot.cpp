// Screen captures written as 24-bit BMP files.
#include "support/screenshot.h"

#include "support/scratch_dir.h"

namespace {

// The pixels of a screen rectangle, bottom-up rows of 24-bit BGR padded to four bytes, as a BMP
// file stores them; empty when the capture failed.
std::string Capture(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const size_t size = static_cast<size_t>((width * 3 + 3) & ~3) * height;

  std::string pixels;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  const HBITMAP bitmap =
      CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap) {
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY)) {
      GdiFlush();
      pixels.assign(static_cast<const char*>(bits), size);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

}  // namespace

std::string ArtifactsDirectory() {
  std::string directory = VIGILO_ARTIFACTS_DIR;
  // Under Wine a Unix path is reached through drive Z:.
  if (!directory.empty() && directory[0] == '/') directory = "Z:" + directory;
  CreateDirectoryA(directory.c_str(), nullptr);
  return directory;
}

bool SaveScreenshot(const std::vector<HWND>& windows, const std::string& name) {
  RECT rect = {};
  for (const HWND window : windows) {
    RECT one;
    if (!GetWindowRect(window, &one)) return false;
    UnionRect(&rect, &rect, &one);
  }
  const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  IntersectRect(&rect, &rect, &screen);
  if (IsRectEmpty(&rect)) return false;

  const std::string path = ArtifactsDirectory() + "\\" + name;
  DeleteFileA((path + ".png").c_str());
  std::string pixels = Capture(rect);
  for (int attempt = 0; attempt < 30 && !pixels.empty(); ++attempt) {
    Sleep(100);
    std::string again = Capture(rect);
    if (again == pixels) break;
    pixels.swap(again);
  }
  if (pixels.empty()) return false;

  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = rect.right - rect.left;
  header.biHeight = rect.bottom - rect.top;  // bottom-up
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(pixels.size());
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + header.biSizeImage;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
  bytes += pixels;
  WriteWholeFile(path + ".bmp", bytes);
  return ReadWholeFile(path + ".bmp").size() == bytes.size();
}
