// VGL_Console: the monitor's console window, keeping the Edit commands in step with its text.
#pragma once

#include <windows.h>

#include <string>

#include "console/x_console.h"
#include "monitor/common/command_states.h"

class VGL_Console : public XConsole {
 public:
  ~VGL_Console() override = default;

  int Write(const char* text, int length, int attribute) override;
  int Copy() override;
  int Paste() override;
  void OnLButtonDown(int x, int y) override;
  void OnLButtonUp(int x, int y) override;
  void OnRButtonDown(int x, int y) override;

  int Create(HWND parent);  // 1 when the console window stands
  void Clear();             // All Erase
  // A search's hit: the finished selection with Copy enabled, scrolled into view.
  void ShowFound(int32_t lo, int32_t hi);
  void OpenSettingsSheet(HWND owner);
  // The last OK of the settings sheet could not write the settings file: the console runs with
  // choices the file does not hold.
  bool settingsUnsaved = false;

  // Told whenever Copy, Select All, All Copy or All Erase becomes possible or impossible; null
  // when nothing shows those commands.
  CommandStates* commandStates = nullptr;

  // The sender of the line the context menu was last opened on: its process id (0: none) and
  // program, for the menu's process commands.
  uint32_t menuPid = 0;
  std::string menuProgram;

  // After a store allocation: when the memory asked for could not be had, one message box says
  // how much the console holds instead.
  void TellIfShortOfMemory(HWND owner);

 private:
  // Only the console that shows speaks for the Edit commands: the owner tells them afresh for the
  // console it shows next.
  void SetCommandEnabled(int command, bool enabled) {
    const bool shown = !window || (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0;
    if (commandStates && shown) commandStates->SetCommandEnabled(command, enabled);
  }
  void TellSettingsNotSaved(HWND owner);

  void CommandFailed(int command) {
    if (commandStates) commandStates->CommandFailed(command);
  }
};

LRESULT CALLBACK ConsoleWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
