// Child processes, vigilo.exe and its windows seen from the driver, and the monitor's mailslot.
#include "support/monitor_process.h"

#include <sstream>
#include <string>
#include <vector>

#include "channel/channel.h"
#include "monitor/resources/resource_ids.h"
#include "support/clipboard.h"
#include "support/command_state.h"
#include "support/dialog_driver.h"
#include "support/scratch_dir.h"

std::string BinDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string program = path;
  return program.substr(0, program.find_last_of('\\'));
}

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(20);
  }
}

namespace {

// A writer's handle of the monitor's mailslot, or INVALID_HANDLE_VALUE when there is none.
HANDLE OpenMailslotForWriting() {
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  return CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

bool WaitUntilNoMonitorRuns(DWORD milliseconds) {
  return WaitUntil([] { return FindWindowA("VIGILO WINDOW", nullptr) == nullptr && !MailslotExists(); }, milliseconds);
}

bool MailslotExists() {
  const HANDLE slot = OpenMailslotForWriting();
  if (slot == INVALID_HANDLE_VALUE) return false;
  // Closed at once: under Wine an open client handle keeps the mailslot alive after its owner.
  CloseHandle(slot);
  return true;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool SendToMonitor(const std::string& text) { return SendDatagramToMonitor(std::string(text.c_str(), text.size() + 1)); }

bool SendDatagramToMonitor(const std::string& bytes) {
  const HANDLE slot = OpenMailslotForWriting();
  if (slot == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(slot, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  // Closed at once: under Wine an open client handle keeps the mailslot alive after the monitor.
  CloseHandle(slot);
  return ok && written == bytes.size();
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

ChildProcess ChildProcess::Adopt(HANDLE process, DWORD id) {
  ChildProcess child;
  child.process_ = process;
  child.id_ = id;
  return child;
}

ChildProcess::~ChildProcess() { Release(); }

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : process_(other.process_), id_(other.id_) {
  other.process_ = nullptr;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Release();
    process_ = other.process_;
    id_ = other.id_;
    other.process_ = nullptr;
  }
  return *this;
}

void ChildProcess::Release() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
  process_ = nullptr;
}

DWORD ChildProcess::Wait(DWORD milliseconds) const {
  if (!process_) return STILL_ACTIVE;
  if (WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

MonitorProcess::MonitorProcess(const std::string& directory, const std::string& iniText,
                               const std::string& arguments) {
  if (!iniText.empty()) WriteWholeFile(directory + "\\vigilo.ini", iniText);
  process_ = ChildProcess("\"" + BinDirectory() + "\\vigilo.exe\"" + (arguments.empty() ? "" : " " + arguments),
                          directory);
}

MonitorProcess::~MonitorProcess() {
  // A monitor that never showed its window is ended by the process handle's owner.
  if (window_ && process_.Wait(0) == STILL_ACTIVE) Exit();
}

bool MonitorProcess::WaitForWindow(DWORD milliseconds) {
  const DWORD self = process_.id();
  const bool shown = WaitUntil(
      [&] {
        const HWND found = FindWindowA("VIGILO WINDOW", nullptr);
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

HWND MonitorProcess::toolbar() const { return FindWindowExA(window_, nullptr, "ToolbarWindow32", nullptr); }
HWND MonitorProcess::console() const { return FindWindowExA(window_, nullptr, "VIGILO CONSOLE", nullptr); }
HWND MonitorProcess::tabs() const { return FindWindowExA(window_, nullptr, "SysTabControl32", nullptr); }
HWND MonitorProcess::statusBar() const { return FindWindowExA(window_, nullptr, "msctls_statusbar32", nullptr); }

bool MonitorProcess::ButtonEnabled(int command) const { return ToolbarButtonEnabled(toolbar(), command); }

LRESULT MonitorProcess::Command(int command) const {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window_, WM_COMMAND, static_cast<WPARAM>(command), 0, SMTO_NORMAL, 10000, &result);
  return static_cast<LRESULT>(result);
}

void MonitorProcess::PostCommand(int command) const {
  PostMessageA(window_, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

std::string MonitorProcess::ConsoleText() const {
  ClearClipboard();
  Command(ID_EDIT_ALL_COPY);
  return ClipboardText();
}

bool MonitorProcess::WaitForConsoleEnding(const std::string& ending, DWORD milliseconds) const {
  return WaitUntil(
      [&] {
        const std::string text = ConsoleText();
        return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
      },
      milliseconds);
}

HWND MonitorProcess::FindDialog(const std::function<bool(HWND)>& accept) const {
  return FindProcessDialog(process_.id(), accept);
}

HWND MonitorProcess::WaitForDialog(const std::function<bool(HWND)>& accept, DWORD milliseconds) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindDialog(accept)) != nullptr; }, milliseconds);
  return found;
}

HWND MonitorProcess::WaitForDialogWithControl(int id, DWORD milliseconds) const {
  return WaitForDialog([id](HWND dialog) { return GetDlgItem(dialog, id) != nullptr; }, milliseconds);
}

bool MonitorProcess::WaitForNoDialog(DWORD milliseconds) const {
  return WaitUntil([&] { return FindDialog() == nullptr; }, milliseconds);
}

DWORD MonitorProcess::Exit() {
  if (window_ && IsWindow(window_)) PostMessageA(window_, WM_COMMAND, ID_FILE_EXIT, 0);
  return process_.Wait(10000);
}

DWORD MonitorProcess::Close() {
  if (window_ && IsWindow(window_)) PostMessageA(window_, WM_CLOSE, 0, 0);
  return process_.Wait(10000);
}
