// ViewsControl: the views of the live history (monitor/filters), each with its own filter rules,
// the switch of View > Filter, and its place and last search hit while another is shown; the
// tabs above the console show them, then the opened files. The shown view's rules are in force;
// its history is decided again after a change, in slices. The views as vigilo.ini keeps them,
// and the rules it held that could not be read, told once after start.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "monitor/app/opened_files_control.h"
#include "monitor/app/trouble_sink.h"
#include "monitor/app/view_tabs.h"
#include "monitor/common/command_states.h"
#include "monitor/filters/history_filter.h"
#include "monitor/filters/view_set.h"
#include "monitor/view/find_command.h"
#include "monitor/view/vgl_console.h"

class ViewsControl {
 public:
  struct Callbacks {
    std::function<void()> layout;  // the tabs' height changed: the children placed again
    std::function<void()> statusChanged;
  };
  // `window`: the main window's handle (null before it stands); `console`: the live one, whose
  // history the views show; `files`: the opened files, whose tabs follow the views'.
  ViewsControl(const HWND& window, VGL_Console& console, FindCommand& find, OpenedFilesControl& files,
               CommandStates& commands, TroubleSink& troubles, Callbacks callbacks)
      : mainWindow(window), console(console), find(find), files(files), commands(commands), troubles(troubles),
        callbacks(std::move(callbacks)) {}
  ViewsControl(const ViewsControl&) = delete;
  ViewsControl& operator=(const ViewsControl&) = delete;

  // The views in their order, the shown one in force.
  ViewSet& list() { return views; }
  const ViewSet& list() const { return views; }
  ViewTabs& tabs() { return tabStrip; }

  void LoadViews();
  void SaveViews();
  // The shown view's set in force from its rules and switch, then its history again.
  void ApplyFilters();
  void ToggleFilter();
  void EditFilters();
  void RefilterSlice();
  // The tabs, the menu's Close View and the status bar in line with the views.
  void ShowViewTabs();
  // View > New View, Close View, Next View (and back), Rename View; the context menu's Show only
  // this process (a new view) and Hide this process (a rule of the shown view).
  void ShowView(size_t index);
  // Tab k: view k of the live history, then the opened files in their order.
  void ShowTab(size_t tab);
  size_t ShownTab() const { return files.shown() >= 0 ? views.size() + size_t(files.shown()) : views.current(); }
  void AddView(MonitorView view);
  void CloseView();
  void NextView(bool forward);
  void RenameView();
  void ShowOnlyProcess();
  void HideProcess();
  std::string ViewName(size_t index) const;
  // What the user is told once after start of the rules left out and the views read with none;
  // empty when all were read.
  std::string UnreadableText() const;

 private:
  // Decides the rest of the history at once: before the views change.
  void FinishRefilter();
  void SetCommandEnabled(int command, bool enabled) { commands.SetCommandEnabled(command, enabled); }

  const HWND& mainWindow;
  VGL_Console& console;
  FindCommand& find;
  OpenedFilesControl& files;
  CommandStates& commands;
  TroubleSink& troubles;
  Callbacks callbacks;
  ViewSet views;
  ViewTabs tabStrip;
  HistoryFilter refilter;
  std::string unreadableRules;  // "3, 5; view 2: 1": told once after start
  std::string brokenViews;      // "view 3": told once after start
  size_t savedViewSections = 1;  // the views' sections the file holds
};
