// The driver's view of the processes it runs: vigilo.exe in a scratch directory and clients.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// A scratch directory for one monitor run; removed with its files.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const char* name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// A process handle that is closed (and the process ended, if still running) at scope end.
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const std::string& commandLine, const std::string& directory);
  ~ChildProcess();
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  // The exit code, or STILL_ACTIVE when it did not end within the time.
  DWORD Wait(DWORD milliseconds) const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// vigilo.exe started in a directory; Exit() closes it through command 104.
class Monitor {
 public:
  explicit Monitor(const std::string& directory);
  ~Monitor();
  Monitor(const Monitor&) = delete;
  Monitor& operator=(const Monitor&) = delete;

  // Waits for the main window; false when none appeared.
  bool WaitForWindow(DWORD milliseconds = 10000);
  HWND window() const { return window_; }
  HWND toolbar() const;
  HWND console() const;
  HWND statusBar() const;
  DWORD id() const { return process_.id(); }
  bool ButtonEnabled(int command) const;
  LRESULT Command(int command) const;
  // Exits through command 104; returns the exit code (STILL_ACTIVE if it did not end).
  DWORD Exit();
  DWORD Wait(DWORD milliseconds) const { return process_.Wait(milliseconds); }

 private:
  ChildProcess process_;
  HWND window_ = nullptr;
};

std::string BinDirectory();
// Runs the client program with the arguments and returns its exit code.
DWORD RunClient(const std::string& arguments, DWORD milliseconds = 60000);
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);
std::string ClipboardText();
void ClearClipboard();
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// A top-level dialog box shown by the given process, or null.
HWND FindProcessDialog(DWORD processId);
// Saves the window as it shows on the screen to a BMP file; false when it could not.
bool SaveScreenshot(HWND window, const std::string& path);
