// MonitorApp: the monitor's one application record, and the process-wide settings path and language.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "monitor/common/command_states.h"
#include "monitor/common/language.h"
#include "monitor/app/message_counter.h"
#include "monitor/app/status_bar.h"
#include "monitor/app/view_tabs.h"
#include "monitor/filters/history_filter.h"
#include "monitor/filters/view_set.h"
#include "code_page/ansi_code_page_decoder.h"
#include "monitor/log/log_encoding.h"
#include "monitor/files/opened_files.h"
#include "receiving/rotating_file.h"
#include "monitor/view/find_command.h"
#include "monitor/view/history_gutter.h"
#include "monitor/view/receive_stamps.h"
#include "monitor/view/vgl_console.h"
#include "receiving/receiver.h"

// One per main window: WinMain owns it, the main window reaches it through its window data, and
// the console reports its Edit-command states to it.
struct MonitorApp final : CommandStates, MessageSink {
  MonitorApp() {
    console.commandStates = this;
    console.view.gutter = &gutter;
  }
  ~MonitorApp();
  MonitorApp(const MonitorApp&) = delete;
  MonitorApp& operator=(const MonitorApp&) = delete;

  HWND mainWindow = nullptr;
  DWORD_PTR helpCookie = 0;
  HWND toolBar = nullptr;
  HWND statusBar = nullptr;
  VGL_Console console;
  // Both sources of messages; the record is the sink of what they bring.
  Receiver receiver;
  bool channelDown = false;      // the mailslot could not be created; ticks try again
  DWORD lastChannelAttempt = 0;  // GetTickCount of the last attempt to create it
  // The mailslot is read on a thread of its own, and each tick takes what it queued; tests that
  // drive the ticks themselves read on the GUI thread.
  bool readOnThread = true;
  // What one tick takes at most from each source: time above all, so that the window answers
  // while messages flood in; the bytes, so that a flood of large messages (each also written to
  // the log) cannot freeze it; and a count far above what a tick gets through, only as a safety.
  // Tests change them, and the clock, to see one cap at work.
  DrainLimits tickLimits{100000, 8u * 1024 * 1024, 30};
  DrainBudget::Clock tickClock = TickMilliseconds;
  // The log: rotated by size as the log dialog set it (section "log file", "max size" in MB and
  // "keep"); the name stays, the older files become name.1.ext, name.2.ext and so on.
  RotatingFile logFile;
  char logFileName[MAX_PATH] = "";
  LogEncoding logEncoding = LogEncoding::kAnsiCodePage;  // of the open log
  code_page::AnsiCodePageDecoder ansiDecoder;  // the ANSI text of notices and the console, for a UTF-8 log
  std::unique_ptr<unsigned char[]> convertBuffer;
  unsigned convertCapacity = 8192;
  // The convert buffer never grows beyond this; tests lower it, with the mailslot's ceiling, to
  // reach the oversize path under Wine, whose mailslots cut datagrams at 64 KiB.
  unsigned bufferCeiling = 0x100000;

  // Start-up, main window and layout.
  void CreateChildren(HWND window);
  // The display scale and the system's theme: the toolbar's drawing and the console's font follow
  // the window's DPI; unset console colours follow a dark app theme.
  unsigned dpi = 96;
  void CreateToolbar();
  void OnDpiChanged(unsigned newDpi, const RECT& suggested);
  void ApplySystemTheme();
  void Layout(int width, int height);
  void AllocateConvertBuffer();  // start-up: convertCapacity bytes, null when that fails

  // The receiving tick: drains both sources and brings the status bar up to date. After a second
  // with nothing received the timer slows down (the idle monitor wakes four times a second); the
  // reading thread's wake message brings it back at once.
  void Tick();
  void SetTickPeriod(UINT milliseconds);
  UINT tickPeriod = 0;
  int idleTicks = 0;
  int floodTicks = 0;           // ticks in a row that brought messages
  DWORD lastPaintRequest = 0;   // GetTickCount of the last paint a tick asked for

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
  // View > Capture Global Debug Output ("capture global debug output" in [system]): the listener
  // on the global objects too. Where it cannot start, or stops, the status bar says why once and
  // the check goes off.
  bool captureGlobalDebugOutput = false;
  void SetGlobalDebugCapture(bool on);
  void ToggleGlobalDebugCapture();
  void StopFailedGlobalDebugCapture();
  // The sink: what a message shows (its sender, its time stamp), its line ends converted, to the
  // console and the log.
  void Take(const Message& message) override;
  // Shows a text as received now from no known sender, and a line of the monitor's own.
  void ShowReceived(const unsigned char* text, size_t length);
  void ShowNotice(const std::string& text, uint64_t sentTime = 0, StoredMessage record = StoredMessage());
  // Shows and logs one message (or notice): the time stamp where due, then the console and the
  // log. `senderText` is the part of the text that the sender wrote, which the filters judge.
  // `utf8Shown`: the shown text in UTF-8 with every character, for a log in UTF-8; without it such
  // a log takes the shown text decoded from the ANSI code page.
  void WriteShown(const unsigned char* shownText, size_t length, const uint8_t* senderText, size_t senderLength,
                  uint64_t sentTime, StoredMessage record, const std::string* utf8Shown = nullptr);

  // Troubles the user is told about in a message box, shown from the message loop (never from
  // inside a tick, whose timer would run again under the box).
  enum Trouble : WPARAM {
    kChannelInUse, kLogStopped, kDebugOutputInUse, kDebugOutputFailed, kLogNotRotated, kFilterRulesUnreadable,
    kConsoleMemoryShort
  };
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
  // "save console": the stored text into the log as it starts.
  void WriteConsoleToLog();

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
  uint64_t unkeptSeen = 0;        // the receiver's count of messages lost for want of memory, as last told
  void UpdateStatusBar();
  // A text of the string table in the status bar's notice part for a few seconds.
  void ShowStatusNotice(int textId);

  // View > Time Stamps (command 124) and View > Senders (125, "[pid program] " before each
  // message of tellit.dll; debug output always): the gutter draws them before the stored lines,
  // the log takes them written as messages come. Read at start-up, saved at each toggle.
  HistoryGutter gutter{LocalClockOf};
  ReceiveStamps stamps;  // the log's
  void LoadViewFlags();
  // False for a command that is no View flag.
  bool ToggleViewFlag(int command);
  // View > Time Stamp Form: false for a command that is none of its items.
  bool ChooseStampStyle(int command);
  // Elapsed times count from now (start-up, All Erase); the next delta is 0.
  void RestartElapsedTime();

  // The views (monitor/filters): each with its own filter rules, the switch of View > Filter,
  // and its place and last search hit while another is shown; the tabs above the console show
  // them. The shown view's rules are in force; its history is decided again after a change, in
  // slices.
  ViewSet views;
  ViewTabs tabs;
  HistoryFilter refilter;
  std::vector<uint8_t> filterScratch;  // a stored message's bytes while it is decided again
  std::string unreadableRules;  // "3, 5; view 2: 1": told once after start
  std::string brokenViews;      // "view 3": told once after start
  void LoadViews();
  void SaveViews();
  // The shown view's set in force from its rules and switch, then its history again.
  void ApplyFilters();
  void ToggleFilter();
  void EditFilters();
  void RefilterSlice();
  // Decides the rest of the history at once: before the views change.
  void FinishRefilter();
  size_t savedViewSections = 1;  // the views' sections the file holds
  // The tabs, the menu's Close View and the status bar in line with the views.
  void ShowViewTabs();
  // View > New View, Close View, Next View (and back), Rename View; the context menu's Show only
  // this process (a new view) and Hide this process (a rule of the shown view).
  void ShowView(size_t index);
  // Tab k: view k of the live history, then the opened files in their order.
  void ShowTab(size_t tab);
  size_t ShownTab() const { return shownFile >= 0 ? views.size() + size_t(shownFile) : views.current(); }
  void AddView(MonitorView view);
  void CloseView();
  void NextView(bool forward);
  void RenameView();
  void ShowOnlyProcess();
  void HideProcess();
  std::string ViewName(size_t index) const;

  // Opened files (monitor/files): each in a console of its own; the most recently opened one shows
  // in the live console's place until it is closed. A file named on the command line is opened
  // once the window stands, or handed to the monitor that runs already.
  OpenedFiles files;
  std::string startFile;
  std::vector<std::string> handedFiles;  // handed over by a second start, opened from the loop
  // The console the window shows, which Copy, All Copy, Select All, Find and the filters act on.
  VGL_Console& ShownConsole();
  OpenedFile* ShownFile();  // null while the live console shows
  int shownFile = -1;       // the opened file whose tab shows; -1: a view of the live history
  // The live console and every opened file's: what changes how they draw applies to all.
  void ForEachConsole(const std::function<void(VGL_Console&)>& apply);
  void ShowTopConsole();
  bool OpenFile(const std::string& path, bool follow);
  void CloseShownFile();
  void OnFileCommand(int command);  // File > Open..., Save As..., Follow, Close File
  void TakeDroppedFiles(HDROP drop);
  bool TakeHandedFile(const COPYDATASTRUCT& data);
  void OpenHandedFiles();
  void ApplyFileFilters(OpenedFile& file);
  // A rule more for an opened file (the context menu's process commands), in force at once.
  void AddFileRule(OpenedFile& file, const filtering::FilterRule& rule);
  // Edit > Filter... and View > Filter on the shown opened file; false while the live console shows.
  bool EditShownFileFilters();
  bool ToggleShownFileFilter();
};

// WM_COPYDATA's dwData of a file name handed over by a second start ("VGLO").
constexpr ULONG_PTR kOpenFileCopyData = 0x4F4C4756;
// Posted to itself after a file was handed over: the files are opened from the loop.
constexpr UINT kOpenHandedFiles = WM_APP + 12;
// A second start's file given to the monitor that runs; true when it took it.
bool HandFileToRunning(HWND running, const std::string& path);

// Posted to the main window: wParam a MonitorApp::Trouble, lParam the system's error code.
constexpr UINT kTroubleMessage = WM_APP + 10;
// Posted by the reading thread when datagrams come after a quiet spell: a tick at once.
constexpr UINT kWakeMessage = WM_APP + 11;
// Timer 1 of the main window: the tick, and its slower period while nothing comes.
constexpr UINT_PTR kReceiveTimer = 1;
// While the history is decided again: a slice at each firing, between the user's input.
constexpr UINT_PTR kRefilterTimer = 2;
constexpr UINT kRefilterPeriodMs = 10;
constexpr DWORD kRefilterSliceMs = 25;
constexpr UINT kTickPeriodMs = 50;
constexpr UINT kIdleTickPeriodMs = 250;
constexpr int kTicksBeforeIdle = 20;
constexpr DWORD kFloodPaintPeriodMs = 150;

// Start-up: single instance, settings path, language, and the main window of this record; 1
// when the window stands.
int InitInstance(MonitorApp& app, HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void UnregisterMainClass(HINSTANCE instance);
// Builds settingsPath from the current directory.
void BuildSettingsPath();
// Full path of the help page of the current language, beside the executable.
void HelpPagePath(char (&path)[MAX_PATH]);
