// OpenedFilesControl: the opened files of the main window, each in a console and a tab of its
// own after the views' (monitor/files); the most recently opened one shows in the live console's
// place until it is closed. File > Open..., Save As..., Follow and Close File, a file dropped on
// the window or handed over by a second start, and the filters of an opened file.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "filtering/filter_rule.h"
#include "monitor/common/command_states.h"
#include "monitor/files/opened_files.h"
#include "monitor/view/history_gutter.h"
#include "monitor/view/vgl_console.h"

// WM_COPYDATA's dwData of a file name handed over by a second start ("VGLO").
constexpr ULONG_PTR kOpenFileCopyData = 0x4F4C4756;
// A second start's file given to the monitor that runs; true when it took it.
bool HandFileToRunning(HWND running, const std::string& path);

class OpenedFilesControl {
 public:
  // What the window does when the shown console or an opened file changes.
  struct Callbacks {
    std::function<void()> layout;      // the shown console placed again in the client area
    std::function<void()> tabsChanged; // the tabs, the menu's Close View and Filter in line
    std::function<void()> statusChanged;
    std::function<void()> busy;        // lines come at the next ticks: the tick at its quick pace
  };
  // `window`: the main window's handle (null before it stands); `dpi`: its display scale; `live`:
  // the console of the live history, shown while no opened file is.
  OpenedFilesControl(const HWND& window, const unsigned& dpi, VGL_Console& live, CommandStates& commands,
                     HistoryGutter& gutter, Callbacks callbacks)
      : mainWindow(window), dpi(dpi), console(live), commands(commands), gutter(gutter),
        callbacks(std::move(callbacks)) {}
  OpenedFilesControl(const OpenedFilesControl&) = delete;
  OpenedFilesControl& operator=(const OpenedFilesControl&) = delete;

  size_t Count() const { return files.Count(); }
  const std::string& Name(size_t i) const { return files.Name(i); }
  // Reads on in every file that follows; true while one has more to read.
  bool Step() { return files.Step(); }

  // The console the window shows, which Copy, All Copy, Select All, Find and the filters act on.
  VGL_Console& ShownConsole();
  OpenedFile* ShownFile();  // null while the live console shows
  int shown() const { return shownFile; }  // -1: a view of the live history
  // Opened file `index` shows, or with -1 the live console.
  void Show(int index);
  // The live console and every opened file's: what changes how they draw applies to all.
  void ForEachConsole(const std::function<void(VGL_Console&)>& apply);
  bool OpenFile(const std::string& path, bool follow);
  void CloseShownFile();
  void OnFileCommand(int command);  // File > Open..., Save As..., Follow, Close File
  void TakeDroppedFiles(HDROP drop);
  bool TakeHandedFile(const COPYDATASTRUCT& data);
  void OpenHandedFiles();
  // A rule more for an opened file (the context menu's process commands), in force at once.
  void AddFileRule(OpenedFile& file, const filtering::FilterRule& rule);
  // Edit > Filter... and View > Filter on the shown opened file; false while the live console shows.
  bool EditShownFileFilters();
  bool ToggleShownFileFilter();

 private:
  void ShowTopConsole();
  void ApplyFileFilters(OpenedFile& file);
  void SetCommandEnabled(int command, bool enabled) { commands.SetCommandEnabled(command, enabled); }

  const HWND& mainWindow;
  const unsigned& dpi;
  VGL_Console& console;
  CommandStates& commands;
  HistoryGutter& gutter;
  Callbacks callbacks;
  OpenedFiles files;
  std::vector<std::string> handedFiles;  // handed over by a second start, opened from the loop
  int shownFile = -1;                    // the opened file whose tab shows; -1: a view of the live history
};
