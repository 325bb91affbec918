// MonitorApp: the monitor's one application record, and the process-wide settings path and language.
#pragma once

#include <windows.h>

#include "monitor/vgl_console.h"

// Full path of vigilo.ini (current directory at start-up); every settings access is skipped while empty.
extern char settingsPath[MAX_PATH];
// User-interface language: 1 Japanese, 0 English, -1 not chosen yet.
extern int language;

struct MonitorApp {
  MonitorApp() = default;
  ~MonitorApp();
  MonitorApp(const MonitorApp&) = delete;
  MonitorApp& operator=(const MonitorApp&) = delete;

  HWND mainWindow = nullptr;
  DWORD_PTR helpCookie = 0;
  HWND toolBar = nullptr;
  HWND toolBarOwner = nullptr;
  HWND statusBar = nullptr;
  HWND statusBarOwner = nullptr;
  VGL_Console console;
  HANDLE mailslot = nullptr;
  int receiveEnabled = 1;
  unsigned char* receiveBuffer = nullptr;
  unsigned receiveCapacity = 0;
  HANDLE logFile = nullptr;
  unsigned char* convertBuffer = nullptr;
  unsigned convertCapacity = 8192;
  // Neither buffer grows beyond this; tests lower it to reach the oversize path under Wine,
  // whose mailslots cut datagrams at 64 KiB.
  unsigned bufferCeiling = 0x100000;

  // Start-up, main window and layout.
  void CreateChildren(HWND window);
  void Layout(int width, int height);
  void AllocateConvertBuffer();  // start-up: convertCapacity bytes, null when that fails

  // Message receiver.
  void StartReceiver();
  void DrainMailslot();
  void StopReceiver();

  // Commands, language, log saving.
  void OnCommand(WPARAM wParam);
  LRESULT OnNotify(LPARAM lParam);  // tooltip texts of the toolbar buttons
  void ChooseLanguage();
  void StartLogSaving();
  void StopLogSaving();
};

extern MonitorApp app;

// Enables or greys one command in the main menu and on the toolbar together.
void SetCommandEnabled(int command, bool enabled);

// Start-up: single instance, settings path, language, main window; 1 when the window stands.
int InitInstance(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void UnregisterMainClass(HINSTANCE instance);
// Builds settingsPath from the current directory.
void BuildSettingsPath();
// The language the user's locale suggests: 1 for Japanese (0x0411), else 0.
int DetectLanguage();
// Full path of the help page of the current language, beside the executable.
void HelpPagePath(char (&path)[MAX_PATH]);
