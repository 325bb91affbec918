// MonitorApp: the monitor's one application record, and the process-wide settings path and language.
#pragma once

#include <windows.h>

#include <memory>

#include "monitor/command_states.h"
#include "monitor/debug_output_source.h"
#include "monitor/log_file.h"
#include "monitor/mailslot_source.h"
#include "monitor/find_command.h"
#include "monitor/language.h"
#include "monitor/message_counter.h"
#include "monitor/receive_stamps.h"
#include "monitor/status_bar.h"
#include "monitor/vgl_console.h"

// One per main window: WinMain owns it, the main window reaches it through its window data, and
// the console reports its Edit-command states to it.
struct MonitorApp final : CommandStates {
  MonitorApp() { console.commandStates = this; }
  ~MonitorApp();
  MonitorApp(const MonitorApp&) = delete;
  MonitorApp& operator=(const MonitorApp&) = delete;

  HWND mainWindow = nullptr;
  DWORD_PTR helpCookie = 0;
  HWND toolBar = nullptr;
  HWND statusBar = nullptr;
  VGL_Console console;
  // The two sources of messages, and what they share on their way to the console and the log.
  MailslotSource mailslot;
  bool channelDown = false;      // the mailslot could not be created; ticks try again
  DWORD lastChannelAttempt = 0;  // GetTickCount of the last attempt to create it
  DebugOutputSource debugOutput;
  // What one tick takes at most from each source: messages, bytes (it stops once it has read
  // this many) and time, so that a flood of large messages (each also written to the log) cannot
  // freeze the window; the rest waits. Tests change them to see one cap at work.
  int datagramsPerTick = 500;
  uint32_t bytesPerTick = 2u * 1024 * 1024;
  DWORD tickMilliseconds = 30;
  LogFile logFile;
  char logFileName[MAX_PATH] = "";
  std::unique_ptr<unsigned char[]> convertBuffer;
  unsigned convertCapacity = 8192;
  // The convert buffer never grows beyond this; tests lower it, with the mailslot's ceiling, to
  // reach the oversize path under Wine, whose mailslots cut datagrams at 64 KiB.
  unsigned bufferCeiling = 0x100000;

  // Start-up, main window and layout.
  void CreateChildren(HWND window);
  void Layout(int width, int height);
  void AllocateConvertBuffer();  // start-up: convertCapacity bytes, null when that fails

  // Message receiver. StartReceiver tells the user (once until it succeeds) when the mailslot
  // cannot be created; DrainMailslot then tries again once a second.
  bool StartReceiver();
  void DrainMailslot();
  void StopReceiver();
  void ReopenReceiver();
  // Debug output: on or off as the View menu's check mark and the setting say; a listener that
  // failed is stopped by the tick that drains it.
  void SetDebugCapture(bool on);
  void DrainDebugOutput();
  // The sink: converts the line ends of a received text and hands it to the console and the log.
  void ShowReceived(const unsigned char* text, size_t length);
  void ShowReceiverNotice(const char* pattern, unsigned long value);

  // Troubles the user is told about in a message box, shown from the message loop (never from
  // inside a tick, whose timer would run again under the box).
  enum Trouble : WPARAM { kChannelInUse, kLogStopped, kDebugOutputInUse, kDebugOutputFailed };
  void NotifyTrouble(Trouble trouble, DWORD error);
  void ShowTrouble(Trouble trouble, DWORD error);
  // Writes to the open log; a failed or short write stops log saving and tells the user.
  bool WriteLog(const void* bytes, DWORD length);

  // Enables or greys one command in the main menu and on the toolbar together.
  void SetCommandEnabled(int command, bool enabled) override;
  // A beep and a notice in the status bar for a few seconds; no box, which would take the focus.
  void CommandFailed(int command) override;

  // Commands, language, log saving.
  void OnCommand(WPARAM wParam);
  LRESULT OnNotify(LPARAM lParam);  // tooltip texts of the toolbar buttons
  void ChooseLanguage();
  void StartLogSaving();
  void StopLogSaving();

  // Find (commands 116 to 118) and the keyboard shortcuts.
  FindCommand find;
  HACCEL accelerators = nullptr;
  // What the message loop hands to the shortcuts and the find dialog before dispatching: true
  // when the message was taken.
  bool PreTranslate(MSG* message);

  // The status bar: messages counted as they are shown, the bar brought up to date once a tick.
  MessageCounter messages;
  StatusBarView statusView;
  int statusNotice = -1;          // a text id shown in the notice part until statusNoticeEnd, or -1
  DWORD statusNoticeEnd = 0;      // GetTickCount when the notice goes
  void UpdateStatusBar();

  // Time stamps (command 124): read at start-up, saved at each toggle.
  ReceiveStamps stamps;
  void LoadTimeStamps();
  void ToggleTimeStamps();
};

// Posted to the main window: wParam a MonitorApp::Trouble, lParam the system's error code.
constexpr UINT kTroubleMessage = WM_APP + 10;

// Start-up: single instance, settings path, language, and the main window of this record; 1
// when the window stands.
int InitInstance(MonitorApp& app, HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void UnregisterMainClass(HINSTANCE instance);
// Builds settingsPath from the current directory.
void BuildSettingsPath();
// Full path of the help page of the current language, beside the executable.
void HelpPagePath(char (&path)[MAX_PATH]);
