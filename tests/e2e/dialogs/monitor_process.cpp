// MonitorProcess: starting and closing vigilo.exe, finding its dialogs, the clipboard and the mailslot.
#include "monitor_process.h"

#include <commctrl.h>

#include <cstdio>
#include <fstream>

#include "channel/channel.h"

namespace {

constexpr int kAllCopy = 114;

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\'));
}

bool Elapsed(DWORD start, DWORD timeoutMs) { return GetTickCount() - start > timeoutMs; }

struct DialogSearch {
  DWORD processId;
  const std::function<bool(HWND)>* accept;
  HWND found;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<DialogSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "#32770" && (!search->accept || (*search->accept)(window))) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

int folderCounter = 0;

}  // namespace

MonitorProcess::MonitorProcess(const std::string& iniText) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  char folder[MAX_PATH];
  std::snprintf(folder, sizeof folder, "%svigilo-e2e-dialogs-%lu-%d", temp, GetCurrentProcessId(),
                ++folderCounter);
  CreateDirectoryA(folder, nullptr);
  folder_ = folder;
  WriteWholeFile(Path("vigilo.ini"), iniText);

  std::string program = ProgramFolder() + "\\vigilo.exe";
  std::string commandLine = "\"" + program + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder_.c_str(), &startup, &process_))
    return;
  WaitForInputIdle(process_.hProcess, 5000);
  const DWORD start = GetTickCount();
  while (!mainWindow_ && !Elapsed(start, 10000)) {
    const HWND window = FindWindowA("VIGILO WINDOW", nullptr);
    DWORD owner = 0;
    if (window) GetWindowThreadProcessId(window, &owner);
    if (window && owner == process_.dwProcessId && IsWindowVisible(window)) mainWindow_ = window;
    else Sleep(20);
  }
}

MonitorProcess::~MonitorProcess() {
  if (process_.hProcess) {
    Close();
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
  // The scratch files go; a log file still open by a hung monitor would stay behind.
  WIN32_FIND_DATAA entry;
  const HANDLE find = FindFirstFileA((folder_ + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileA((folder_ + "\\" + entry.cFileName).c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(folder_.c_str());
}

void MonitorProcess::Command(int id) const { PostMessageA(mainWindow_, WM_COMMAND, id, 0); }

bool MonitorProcess::ButtonEnabled(int id) const {
  const HWND toolbar = FindWindowExA(mainWindow_, nullptr, TOOLBARCLASSNAMEA, nullptr);
  return SendMessageA(toolbar, TB_ISBUTTONENABLED, id, 0) != 0;
}

HWND MonitorProcess::WaitForDialog(const std::function<bool(HWND)>& accept, DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  for (;;) {
    DialogSearch search{process_.dwProcessId, &accept, nullptr};
    EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found || Elapsed(start, timeoutMs)) return search.found;
    Sleep(20);
  }
}

HWND MonitorProcess::WaitForDialogWithControl(int id, DWORD timeoutMs) const {
  return WaitForDialog([id](HWND dialog) { return GetDlgItem(dialog, id) != nullptr; }, timeoutMs);
}

bool MonitorProcess::WaitForNoDialog(DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  for (;;) {
    DialogSearch search{process_.dwProcessId, nullptr, nullptr};
    EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return true;
    if (Elapsed(start, timeoutMs)) return false;
    Sleep(20);
  }
}

std::string MonitorProcess::ConsoleText() const {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  SendMessageA(mainWindow_, WM_COMMAND, kAllCopy, 0);
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (const HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
      text = bytes;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool MonitorProcess::WaitForConsoleEnding(const std::string& ending, DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  for (;;) {
    const std::string text = ConsoleText();
    if (text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0)
      return true;
    if (Elapsed(start, timeoutMs)) return false;
    Sleep(50);
  }
}

DWORD MonitorProcess::Close() {
  if (!process_.hProcess) return 1;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    PostMessageA(mainWindow_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 10000) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 99);
  }
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

bool SendToMonitor(const std::string& text) {
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  const HANDLE slot = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (slot == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(slot, text.c_str(), static_cast<DWORD>(text.size() + 1), &written, nullptr);
  // Closed at once: under Wine an open client handle keeps the mailslot alive after the monitor.
  CloseHandle(slot);
  return ok && written == text.size() + 1;
}

std::string ReadWholeFile(const std::string& path) {
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

std::string WindowText(HWND window) {
  char text[1024] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
