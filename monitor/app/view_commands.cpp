// The views' commands: New View, Close View, Next View and back, Rename View, the tabs, and the
// context menu's Show only this process and Hide this process.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "filtering/rule_settings.h"
#include "monitor/app/rename_view_dialog.h"
#include "monitor/app/views_control.h"
#include "monitor/common/ui_text.h"
#include "monitor/resources/resource_ids.h"

namespace {

filtering::FilterRule ProcessRule(filtering::FilterAction action, uint32_t pid) {
  filtering::FilterRule rule;
  rule.action = action;
  rule.field = filtering::FilterField::kProcessId;
  rule.pattern = std::to_string(pid);
  return rule;
}

}  // namespace

std::string ViewsControl::ViewName(size_t index) const {
  if (index < views.size() && !views[index].name.empty()) return views[index].name;
  char pattern[kUiTextSize];
  LoadUiText(IDS_VIEW_NAME, pattern);
  char name[kUiTextSize + 16];
  std::snprintf(name, sizeof name, pattern, unsigned(index + 1));
  return name;
}

void ViewsControl::ShowViewTabs() {
  std::vector<std::string> names;
  for (size_t i = 0; i < views.size(); ++i) names.push_back(ViewName(i));
  for (size_t i = 0; i < files.Count(); ++i) names.push_back(files.Name(i));
  if (tabStrip.Show(names, ShownTab()) && mainWindow) callbacks.layout();
  tabStrip.SetColours(console.settings.Colour(0, false), console.settings.Colour(0, true));
  if (mainWindow) {
    // An opened file's tab closes too; of the views, the last stays.
    const bool closes = files.ShownFile() != nullptr || views.size() > 1;
    EnableMenuItem(GetMenu(mainWindow), ID_VIEW_CLOSE, MF_BYCOMMAND | (closes ? MF_ENABLED : MF_GRAYED));
    const bool filterOn = files.ShownFile() ? files.ShownFile()->filterOn : views.Current().filterOn;
    CheckMenuItem(GetMenu(mainWindow), ID_VIEW_FILTER, MF_BYCOMMAND | (filterOn ? MF_CHECKED : MF_UNCHECKED));
  }
}

void ViewsControl::ShowTab(size_t tab) {
  if (tab >= views.size() + files.Count() || tab == ShownTab()) return;
  if (tab >= views.size()) {
    files.Show(int(tab - views.size()));
    return;
  }
  // Back to the live history, in the view it showed, then to the one asked for.
  if (files.shown() >= 0) files.Show(-1);
  ShowView(tab);
}

void ViewsControl::ShowView(size_t index) {
  if (index >= views.size() || index == views.current()) return;
  FinishRefilter();
  ConsolePlace& left = views.Current().place;
  left = console.CurrentPlace();
  find.KeepHit(left);
  views.Show(index, console.text);
  MonitorView& shown = views.Current();
  console.highlights.clear();
  for (const filtering::FilterRule& rule : shown.rules) {
    console.highlights.push_back(XConsole::HighlightColours{rule.textColour, rule.backColour});
  }
  console.GoTo(shown.place);
  find.TakeHit(shown.place);
  SetCommandEnabled(ID_EDIT_COPY, console.text.selection.state == Selection::kFinished);
  ShowViewTabs();
  callbacks.statusChanged();
  SaveViews();
}

void ViewsControl::AddView(MonitorView view) {
  FinishRefilter();
  if (!views.Add(std::move(view))) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  ShowTab(views.size() - 1);
  ApplyFilters();
}

void ViewsControl::CloseView() {
  if (files.ShownFile()) {
    files.CloseShownFile();
    return;
  }
  if (views.size() <= 1) return;
  const size_t closing = views.current();
  ShowView(closing + 1 < views.size() ? closing + 1 : closing - 1);
  views.Remove(closing);
  ShowViewTabs();
  SaveViews();
}

void ViewsControl::NextView(bool forward) {
  const size_t count = views.size() + files.Count();
  if (count <= 1) return;
  ShowTab((ShownTab() + (forward ? 1 : count - 1)) % count);
}

void ViewsControl::RenameView() {
  if (files.ShownFile()) return;  // an opened file's tab is its file's name
  RenameViewDialog dialog;
  dialog.name = ViewName(views.current());
  if (dialog.Run(mainWindow) != 1 || dialog.name.empty()) return;
  views.Current().name = dialog.name;
  ShowViewTabs();
  SaveViews();
}

void ViewsControl::ShowOnlyProcess() {
  const uint32_t menuPid = files.ShownConsole().menuPid;
  if (menuPid == 0) return;
  if (OpenedFile* file = files.ShownFile()) {
    // An opened file has no views of its own: its rules keep that process alone.
    files.AddFileRule(*file, ProcessRule(filtering::FilterAction::kInclude, menuPid));
    return;
  }
  MonitorView view;
  if (!console.menuProgram.empty()) {
    view.name = console.menuProgram;
  } else {
    char pattern[kUiTextSize];
    LoadUiText(IDS_VIEW_PROCESS_NAME, pattern);
    char name[kUiTextSize + 16];
    std::snprintf(name, sizeof name, pattern, std::to_string(menuPid).c_str());
    view.name = name;
  }
  view.rules.push_back(ProcessRule(filtering::FilterAction::kInclude, menuPid));
  AddView(std::move(view));
}

void ViewsControl::HideProcess() {
  const uint32_t menuPid = files.ShownConsole().menuPid;
  if (menuPid == 0) return;
  if (OpenedFile* file = files.ShownFile()) {
    files.AddFileRule(*file, ProcessRule(filtering::FilterAction::kExclude, menuPid));
    return;
  }
  MonitorView& view = views.Current();
  // The file keeps no more rules than this: one more would be lost at the next start.
  if (view.rules.size() >= filtering::kMaxRules) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  FinishRefilter();
  view.rules.push_back(ProcessRule(filtering::FilterAction::kExclude, menuPid));
  if (!view.filterOn) view.filterOn = true;  // the rule is asked to work now
  SaveViews();
  ApplyFilters();
}
