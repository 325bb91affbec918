// MonitorHost: host window, console and scratch settings folder for in-process monitor tests.
#include "monitor_host.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "monitor/monitor_app.h"
#include "monitor/resources/resource_ids.h"

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateHost() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "DIALOGS TEST HOST";
  RegisterClassA(&windowClass);
  const HWND window = CreateWindowA("DIALOGS TEST HOST", "host", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                                    480, nullptr, LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MENU_ENGLISH)),
                                    instance, nullptr);
  ShowWindow(window, SW_SHOW);
  app.mainWindow = window;
  return window;
}

int folderCounter = 0;

}  // namespace

HWND MonitorHost::Window() {
  static const HWND window = CreateHost();
  return window;
}

MonitorHost::MonitorHost() {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  char folder[MAX_PATH];
  std::snprintf(folder, sizeof folder, "%svigilo-dialogs-%lu-%d", temp, GetCurrentProcessId(),
                ++folderCounter);
  CreateDirectoryA(folder, nullptr);
  folder_ = folder;
  std::snprintf(settingsPath, sizeof settingsPath, "%s\\vigilo.ini", folder);
  language = 0;
  Window();
  if (!app.console.window) {
    app.console.Create(Window());
    MoveWindow(app.console.window, 0, 0, 600, 400, TRUE);
  }
}

MonitorHost::~MonitorHost() {
  if (app.logFile) app.StopLogSaving();
  WIN32_FIND_DATAA entry;
  const std::string pattern = folder_ + "\\*";
  const HANDLE find = FindFirstFileA(pattern.c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileA((folder_ + "\\" + entry.cFileName).c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(folder_.c_str());
  settingsPath[0] = '\0';
}

std::vector<std::pair<std::string, std::string>> MonitorHost::Section(const char* section) const {
  std::vector<std::pair<std::string, std::string>> keys;
  std::istringstream lines(ReadWholeFile(settingsPath));
  std::string line;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inside = line == "[" + std::string(section) + "]";
      continue;
    }
    const size_t equals = line.find('=');
    if (inside && equals != std::string::npos)
      keys.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  return keys;
}

bool MonitorHost::SettingsFileExists() const { return FileExists(settingsPath); }

void MonitorHost::WriteSetting(const char* section, const char* key, const char* value) const {
  WritePrivateProfileStringA(section, key, value, settingsPath);
}

void MonitorHost::ResetConsole(const std::string& text) {
  app.console.Clear();
  if (!text.empty()) app.console.Write(text.data(), static_cast<int>(text.size()), 0);
}

std::string MonitorHost::ConsoleText() {
  const auto& store = app.console.text;
  if (!store.bytes) return {};
  return std::string(reinterpret_cast<const char*>(store.bytes), store.used);
}

bool MonitorHost::CommandEnabled(int command) {
  const UINT state = GetMenuState(GetMenu(Window()), command, MF_BYCOMMAND);
  return state != 0xFFFFFFFF && !(state & (MF_GRAYED | MF_DISABLED));
}

std::string ReadWholeFile(const std::string& path) {
  // The monitor keeps its log file open with FILE_SHARE_READ: read with a handle that allows
  // the writer to stay.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
