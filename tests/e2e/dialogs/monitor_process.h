// MonitorProcess: vigilo.exe started in a scratch folder, and the ways a driver process reaches its windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Starts vigilo.exe (beside this program) with the scratch folder as current directory, so its
// vigilo.ini lives there; waits for the main window. The destructor closes it and waits.
class MonitorProcess {
 public:
  // iniText is written to vigilo.ini first (it should carry "language" so no dialog asks).
  explicit MonitorProcess(const std::string& iniText);
  ~MonitorProcess();
  MonitorProcess(const MonitorProcess&) = delete;
  MonitorProcess& operator=(const MonitorProcess&) = delete;

  bool Running() const { return mainWindow_ != nullptr; }
  HWND MainWindow() const { return mainWindow_; }
  const std::string& Folder() const { return folder_; }
  std::string Path(const char* name) const { return folder_ + "\\" + name; }

  // Posts a command as the menu would.
  void Command(int id) const;
  // The toolbar's idea of a command's state.
  bool ButtonEnabled(int id) const;
  // A visible top-level dialog of the monitor's process that passes the test, waited for.
  HWND WaitForDialog(const std::function<bool(HWND)>& accept, DWORD timeoutMs = 5000) const;
  HWND WaitForDialogWithControl(int id, DWORD timeoutMs = 5000) const;
  // Waits until no dialog of the process is visible.
  bool WaitForNoDialog(DWORD timeoutMs = 5000) const;
  // All Copy, then the clipboard's text.
  std::string ConsoleText() const;
  // Waits until the console's text ends with the given text.
  bool WaitForConsoleEnding(const std::string& ending, DWORD timeoutMs = 5000) const;
  // Closes the main window as the user would and waits for the process to end; the exit code.
  DWORD Close();

 private:
  std::string folder_;
  PROCESS_INFORMATION process_ = {};
  HWND mainWindow_ = nullptr;
};

// Sends one datagram (the text and its NUL) to the monitor's mailslot, as tellit.dll does.
bool SendToMonitor(const std::string& text);

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
