// A test driver's view of the processes it runs: vigilo.exe in a directory of the driver's
// choosing, reached from outside through its windows, toolbar, dialogs and clipboard, and
// other programs beside this one.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The folder of this program, where vigilo.exe, tellit.dll and the client programs lie.
std::string BinDirectory();
// Asks every 20 ms until the condition holds or the time is up; whether it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);
// The lines of a text, each without its CR LF.
std::vector<std::string> Lines(const std::string& text);
// Sends one datagram (the text and its NUL) to the monitor's mailslot, as older clients did.
bool SendToMonitor(const std::string& text);
// Sends the bytes as one datagram, as any program could.
bool SendDatagramToMonitor(const std::string& bytes);
// Whether the monitor's mailslot exists now: a writer can open it.
bool MailslotExists();
// Waits until no monitor runs: its window and its mailslot gone (under Wine the mailslot may
// outlive its owner for a moment). A start that found them would take itself for a second
// monitor and end. True when none is left within the time.
bool WaitUntilNoMonitorRuns(DWORD milliseconds = 10000);

// A process handle that is closed (and the process ended, if still running) at scope end.
class ChildProcess {
 public:
  ChildProcess() = default;
  // An empty directory: the driver's current directory.
  ChildProcess(const std::string& commandLine, const std::string& directory);
  // Takes a process started elsewhere (with handles of its own choosing); its handle is closed here.
  static ChildProcess Adopt(HANDLE process, DWORD id);
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
  void Release();
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// vigilo.exe (beside this program) started in a directory, where its vigilo.ini lives. Exited at
// scope end if it still runs, ended by force if it hangs.
class MonitorProcess {
 public:
  // A non-empty iniText is written to the directory's vigilo.ini first; arguments follow the
  // program's name on its command line.
  explicit MonitorProcess(const std::string& directory, const std::string& iniText = {},
                          const std::string& arguments = {});
  ~MonitorProcess();
  MonitorProcess(const MonitorProcess&) = delete;
  MonitorProcess& operator=(const MonitorProcess&) = delete;

  // Waits for the main window and its final layout; false when no window appeared.
  bool WaitForWindow(DWORD milliseconds = 10000);
  HWND window() const { return window_; }
  HWND toolbar() const;
  HWND console() const;
  HWND statusBar() const;
  HWND tabs() const;  // the tabs of the views
  DWORD id() const { return process_.id(); }

  // The toolbar's idea of a command's state.
  bool ButtonEnabled(int command) const;
  // Sends a command as the menu would; returns once the monitor handled it.
  LRESULT Command(int command) const;
  // Posts a command, for one that opens a modal dialog.
  void PostCommand(int command) const;
  // The whole text the console holds: All Copy, then the clipboard.
  std::string ConsoleText() const;
  // Waits until the console's text ends with the given text.
  bool WaitForConsoleEnding(const std::string& ending, DWORD milliseconds = 5000) const;

  // A visible dialog box of the monitor's process that passes accept (any without one), or null;
  // the Wait forms wait for it.
  HWND FindDialog(const std::function<bool(HWND)>& accept = nullptr) const;
  HWND WaitForDialog(const std::function<bool(HWND)>& accept = nullptr, DWORD milliseconds = 5000) const;
  HWND WaitForDialogWithControl(int id, DWORD milliseconds = 5000) const;
  // Waits until no dialog box of the process is visible.
  bool WaitForNoDialog(DWORD milliseconds = 5000) const;

  // Exits through File > Exit, or closes the main window as the user would; the exit code
  // (STILL_ACTIVE when the process did not end within 10 s).
  DWORD Exit();
  DWORD Close();
  DWORD Wait(DWORD milliseconds) const { return process_.Wait(milliseconds); }

 private:
  ChildProcess process_;
  HWND window_ = nullptr;
};
