// Processes, windows, files and screenshots for the end-to-end driver.
#include "monitor_process.h"

#include <vector>

ScratchDirectory::ScratchDirectory() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  char name[MAX_PATH];
  GetTempFileNameA(base, "vge", 0, name);
  DeleteFileA(name);
  CreateDirectoryA(name, nullptr);
  path_ = name;
}

ScratchDirectory::~ScratchDirectory() {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((path_ + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& directory) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
  }
}

ChildProcess::~ChildProcess() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : process_(other.process_), id_(other.id_) {
  other.process_ = nullptr;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    this->~ChildProcess();
    process_ = other.process_;
    id_ = other.id_;
    other.process_ = nullptr;
  }
  return *this;
}

DWORD ChildProcess::Wait(DWORD milliseconds) const {
  if (!process_) return STILL_ACTIVE;
  if (WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

std::string BinDirectory() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string directory = path;
  return directory.substr(0, directory.find_last_of('\\'));
}

Monitor::Monitor(const std::string& directory)
    : process_("\"" + BinDirectory() + "\\vigilo.exe\"", directory) {}

Monitor::~Monitor() {
  if (process_.Wait(0) == STILL_ACTIVE) Exit();
}

bool Monitor::WaitForWindow(DWORD milliseconds) {
  const DWORD self = process_.id();
  const bool shown = WaitUntil(
      [&] {
        HWND found = FindWindowA("VIGILO WINDOW", nullptr);
        DWORD owner = 0;
        if (found) GetWindowThreadProcessId(found, &owner);
        // Shown only after the mailslot was created: the monitor is then ready to receive.
        window_ = owner == self && IsWindowVisible(found) ? found : nullptr;
        return window_ != nullptr;
      },
      milliseconds);
  if (!shown) return false;
  // Under Wine the final size can arrive after the window shows: wait until the console's
  // rectangle has been laid out and stays put.
  RECT last = {};
  int steady = 0;
  WaitUntil(
      [&] {
        RECT now = {};
        if (const HWND child = console()) GetWindowRect(child, &now);
        steady = now.bottom > now.top && EqualRect(&now, &last) ? steady + 1 : 0;
        last = now;
        return steady >= 3;
      },
      3000);
  return true;
}

HWND Monitor::toolbar() const { return FindWindowExA(window_, nullptr, "ToolbarWindow32", nullptr); }
HWND Monitor::console() const { return FindWindowExA(window_, nullptr, "VIGILO CONSOLE", nullptr); }
HWND Monitor::statusBar() const { return FindWindowExA(window_, nullptr, "msctls_statusbar32", nullptr); }

bool Monitor::ButtonEnabled(int command) const {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(toolbar(), 0x0409 /* TB_ISBUTTONENABLED */, static_cast<WPARAM>(command), 0, SMTO_NORMAL,
                      5000, &result);
  return result != 0;
}

LRESULT Monitor::Command(int command) const {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window_, WM_COMMAND, static_cast<WPARAM>(command), 0, SMTO_NORMAL, 10000, &result);
  return static_cast<LRESULT>(result);
}

DWORD Monitor::Exit() {
  if (window_ && IsWindow(window_)) PostMessageA(window_, WM_COMMAND, 104, 0);
  return process_.Wait(10000);
}

DWORD RunClient(const std::string& arguments, DWORD milliseconds) {
  ChildProcess client("\"" + BinDirectory() + "\\monitor_e2e_client.exe\" " + arguments, "");
  return client.Wait(milliseconds);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(20);
  }
}

std::string ClipboardText() {
  std::string text;
  for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) Sleep(20);
  if (const HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void ClearClipboard() {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  CloseClipboard();
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

namespace {
struct DialogSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<DialogSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[16];
  GetClassNameA(window, name, sizeof name);
  if (owner == search->processId && std::string(name) == "#32770" && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindProcessDialog(DWORD processId) {
  DialogSearch search = {processId, nullptr};
  EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool SaveScreenshot(HWND window, const std::string& path) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return false;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // bottom-up, as a BMP file stores it
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  header.biSizeImage = static_cast<DWORD>(stride * height);

  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                          nullptr, 0);
  bool ok = false;
  if (bitmap) {
    const HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
    if (ok) {
      BITMAPFILEHEADER file = {};
      file.bfType = 0x4D42;
      file.bfOffBits = sizeof file + sizeof header;
      file.bfSize = file.bfOffBits + header.biSizeImage;
      std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
      bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
      bytes.append(static_cast<const char*>(bits), header.biSizeImage);
      CreateDirectoryA(path.substr(0, path.find_last_of("\\/")).c_str(), nullptr);
      WriteFileBytes(path, bytes);
    }
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}
