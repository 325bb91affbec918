// MonitorApp: the monitor's one application record, and the process-wide settings path and language.
#pragma once

#include <windows.h>

#include <memory>

#include "monitor/debug_output_source.h"
#include "monitor/log_file.h"
#include "monitor/mailslot_source.h"
#include "monitor/find_command.h"
#include "monitor/language.h"
#include "monitor/message_counter.h"
#include "monitor/receive_stamps.h"
#include "monitor/status_bar.h"
#include "monitor/vgl_console.h"

// Full path of vigilo.ini (current directory at start-up); every settings access is skipped while empty.
extern char settingsPath[MAX_PATH];
// User-interface language; it may hold a number the settings file gave that names no language.
extern Language language;

struct MonitorApp {
  MonitorApp() = default;
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
  void UpdateStatusBar();

  // Time stamps (command 124): read at start-up, saved at each toggle.
  ReceiveStamps stamps;
  void LoadTimeStamps();
  void ToggleTimeStamps();
};

extern MonitorApp app;

// Posted to the main window: wParam a MonitorApp::Trouble, lParam the system's error code.
constexpr UINT kTroubleMessage = WM_APP + 10;

// Enables or greys one command in the main menu and on the toolbar together.
void SetCommandEnabled(int command, bool enabled);

// Start-up: single instance, settings path, language, main window; 1 when the window stands.
int InitInstance(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void UnregisterMainClass(HINSTANCE instance);
// Builds settingsPath from the current directory.
void BuildSettingsPath();
// The language the user's locale suggests: Japanese for 0x0411, else English.
Language DetectLanguage();
// Full path of the help page of the current language, beside the executable.
void HelpPagePath(char (&path)[MAX_PATH]);
