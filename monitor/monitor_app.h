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

  // Start-up, main window and layout.
  void CreateChildren(HWND window);
  void Layout(int width, int height);

  // Message receiver.
  void StartReceiver();
  void DrainMailslot();
  void StopReceiver();

  // Commands, language, log saving.
  void OnCommand(WPARAM wParam);
  void ChooseLanguage();
  void StartLogSaving();
  void StopLogSaving();
};

extern MonitorApp app;

// Enables or greys one command in the main menu and on the toolbar together.
void SetCommandEnabled(int command, bool enabled);
