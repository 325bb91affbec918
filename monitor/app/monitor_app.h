// MonitorApp: the monitor's main window and the components it owns, and its start-up.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "monitor/common/command_states.h"
#include "monitor/common/language.h"
#include "monitor/app/intake.h"
#include "monitor/app/intake_options.h"
#include "monitor/app/log_saving.h"
#include "monitor/app/message_view.h"
#include "monitor/app/opened_files_control.h"
#include "monitor/app/status_line.h"
#include "monitor/app/trouble_sink.h"
#include "monitor/app/view_flags.h"
#include "monitor/app/views_control.h"
#include "monitor/app/window_messages.h"
#include "monitor/view/find_command.h"
#include "monitor/view/vgl_console.h"

// One per main window: WinMain owns it, the main window reaches it through its window data, and
// the console reports its Edit-command states to it. It owns the components (intake, the message
// view, log saving, the status line, the View flags, the views and the opened files), each with
// its state of its own, and ties them together through narrow interfaces: the troubles they
// report, the commands they grey, a few callbacks. Its own state is the window's: the handles,
// the live console, find and the shortcuts, the tick's pace.
struct MonitorApp final : CommandStates, TroubleSink {
  // `intake`: how received messages are taken in; tests drive the ticks themselves or cap them.
  explicit MonitorApp(const IntakeOptions& intake = IntakeOptions());
  ~MonitorApp();
  MonitorApp(const MonitorApp&) = delete;
  MonitorApp& operator=(const MonitorApp&) = delete;

  // The main window, null before it stands; SetWindow lends the record a window made elsewhere
  // (a test's host), and with null tells it the window has gone, with its bars.
  HWND window() const { return mainWindow; }
  void SetWindow(HWND window);
  HWND toolbar() const { return toolBar; }
  // The console of the live history.
  VGL_Console& liveConsole() { return console; }
  // Find (commands 116 to 118).
  FindCommand& findCommand() { return find; }
  // The help's cookie, from its start to the window's end.
  DWORD_PTR& helpCookie() { return helpCookie_; }
  // A file named on the command line, opened once the window stands, or handed to the monitor
  // that runs already.
  void SetStartFile(std::string path) { startFile = std::move(path); }

 private:
  HWND mainWindow = nullptr;
  DWORD_PTR helpCookie_ = 0;
  HWND toolBar = nullptr;
  VGL_Console console;
  // Declared before the components that keep a reference to them.
  StatusLine status_;
  ViewFlags viewFlags_;
  LogSaving log_;

 public:
  // The components.
  Intake& intake() { return intake_; }
  MessageView& messageView() { return messageView_; }
  LogSaving& log() { return log_; }
  StatusLine& status() { return status_; }
  ViewFlags& viewFlags() { return viewFlags_; }
  ViewsControl& views() { return views_; }
  OpenedFilesControl& files() { return files_; }

  // The main window's messages, from the window procedure.
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Layout(int width, int height);
  // The receiving tick: drains both sources and brings the status bar up to date. After a second
  // with nothing received the timer slows down (the idle monitor wakes four times a second); the
  // reading thread's wake message brings it back at once.
  void Tick();

  // Troubles the user is told about in a message box, shown from the message loop (never from
  // inside a tick, whose timer would run again under the box).
  void NotifyTrouble(Trouble trouble, DWORD error) override;
  void ShowTrouble(Trouble trouble, DWORD error);

  // Enables or greys one command in the main menu and on the toolbar together.
  void SetCommandEnabled(int command, bool enabled) override;
  // A beep and a notice in the status bar for a few seconds; no box, which would take the focus.
  void CommandFailed(int command) override;

  // Commands and language.
  void OnCommand(WPARAM wParam);
  LRESULT OnNotify(LPARAM lParam);  // tooltip texts of the toolbar buttons
  void ChooseLanguage();

  // What the message loop hands to the shortcuts and the find dialog before dispatching: true
  // when the message was taken.
  bool PreTranslate(MSG* message);

  // The console the window shows: the live one, or an opened file's in its place.
  VGL_Console& ShownConsole() { return files_.ShownConsole(); }

 private:
  friend int InitInstance(MonitorApp& app, HINSTANCE instance, int showCommand);

  // Start-up, main window and layout.
  void CreateChildren(HWND window);
  // The display scale and the system's theme: the toolbar's drawing and the console's font follow
  // the window's DPI; unset console colours follow a dark app theme.
  void CreateToolbar();
  void OnDpiChanged(unsigned newDpi, const RECT& suggested);
  void ApplySystemTheme();
  // Layout of the client area as it is now.
  void LayOutClientArea();
  void SetTickPeriod(UINT milliseconds);

  unsigned dpi = 96;
  UINT tickPeriod = 0;
  int idleTicks = 0;
  int floodTicks = 0;           // ticks in a row that brought messages
  DWORD lastPaintRequest = 0;   // GetTickCount of the last paint a tick asked for
  // Find and the keyboard shortcuts.
  FindCommand find;
  HACCEL accelerators = nullptr;
  std::string startFile;

  // The status bar brought up to date from what the components say now.
  StatusFacts CurrentStatusFacts();

  // Declared after the views and the console, which the message view writes into, and in this
  // order: the message view reads the intake's options, the intake sends it what it receives.
  OpenedFilesControl files_;
  ViewsControl views_;
  Intake intake_;
  MessageView messageView_;
};

// Start-up: single instance, settings path, language, and the main window of this record; 1
// when the window stands.
int InitInstance(MonitorApp& app, HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void UnregisterMainClass(HINSTANCE instance);
// Builds settingsPath from the current directory.
void BuildSettingsPath();
// Full path of the help page of the current language, beside the executable.
void HelpPagePath(char (&path)[MAX_PATH]);
