// The monitor's filters, view by view: the views as vigilo.ini keeps them, the switch View >
// Filter and Edit > Filter... of the shown view, and its history decided again in slices
// whenever its rules in force change.
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "code_page/ansi_code_page.h"
#include "monitor/filters/filter_dialog.h"
#include "monitor/app/views_control.h"
#include "monitor/app/window_messages.h"
#include "monitor/common/ui_text.h"
#include "monitor/filters/console_filters.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings/settings_file.h"

namespace {

// The longest value a key may have in the file.
constexpr DWORD kValueSize = 8192;

void CheckMenu(HWND window, int command, bool checked) {
  if (window) CheckMenuItem(GetMenu(window), command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void BuildFilterSet(MonitorView& view) {
  view.active = view.filterOn ? ConsoleFilterSet(view.rules) : filtering::FilterSet();
}

void WriteSection(const std::string& name, const std::vector<std::pair<std::string, std::string>>& values) {
  // Written whole, so that no rule beyond the new count stays behind.
  std::string section;
  for (const auto& [key, value] : values) section += key + "=" + value + '\0';
  section += '\0';
  WritePrivateProfileSectionA(name.c_str(), section.c_str(), settingsPath);
}

}  // namespace

void ViewsControl::LoadViews() {
  saved_views::Read read;
  if (settingsPath[0]) {
    std::vector<char> buffer(kValueSize);
    read = saved_views::ReadViews([&](const char* section, const std::string& key, std::string& value) {
      // A value the file cannot hold stands for a missing key.
      static const char kMissing[] = "\x01";
      GetPrivateProfileStringA(section, key.c_str(), kMissing, buffer.data(), kValueSize, settingsPath);
      value = buffer.data();
      return value != kMissing;
    });
  } else {
    read.views.resize(1);
  }
  savedViewSections = read.views.size();
  for (MonitorView& view : read.views) BuildFilterSet(view);
  views.Reset(std::move(read.views), read.current);
  unreadableRules = std::move(read.unreadableRules);
  brokenViews = std::move(read.brokenSections);
  if (!unreadableRules.empty() || !brokenViews.empty()) troubles.NotifyTrouble(TroubleSink::kFilterRulesUnreadable, 0);
  ShowViewTabs();
  ApplyFilters();
}

void ViewsControl::SaveViews() {
  if (!settingsPath[0]) return;
  for (const saved_views::Section& section : saved_views::ViewSections(views)) WriteSection(section.name, section.values);
  // The sections of views closed since: gone, so that they do not come back.
  for (size_t i = views.size(); i < savedViewSections; ++i) {
    WritePrivateProfileStringA(saved_views::SectionOf(i).c_str(), nullptr, nullptr, settingsPath);
  }
  savedViewSections = views.size();
  for (const auto& [key, value] : saved_views::SystemValues(views)) {
    WritePrivateProfileStringA(saved_views::kSystemSection, key.c_str(), value.c_str(), settingsPath);
  }
}

void ViewsControl::ApplyFilters() {
  MonitorView& view = views.Current();
  BuildFilterSet(view);
  CheckMenu(mainWindow, ID_VIEW_FILTER, view.filterOn);
  // Highlight colour pair n is rule n - 1's colours.
  console.highlights.clear();
  for (const filtering::FilterRule& rule : view.rules) {
    console.highlights.push_back(XConsole::HighlightColours{rule.textColour, rule.backColour});
  }
  refilter.Start(console.text, view.active);
  RefilterSlice();
  if (refilter.Running() && mainWindow) SetTimer(mainWindow, kRefilterTimer, kRefilterPeriodMs, nullptr);
}

void ViewsControl::RefilterSlice() {
  const DWORD start = GetTickCount();
  const bool done = refilter.Step(console.text, [&] { return GetTickCount() - start >= kRefilterSliceMs; });
  if (!done) return;
  if (mainWindow) KillTimer(mainWindow, kRefilterTimer);
  // Other lines show now: offsets of the selection and rows of the last paint mean other text.
  console.text.selection.Reset();
  console.view.ForgetRows();
  console.UpdateVScrollRange();
  if (console.settings.autoScroll == 1) console.ScrollToEnd();
  console.Invalidate();
  SetCommandEnabled(ID_EDIT_COPY, false);
  callbacks.statusChanged();
}

void ViewsControl::FinishRefilter() {
  if (!refilter.Running()) return;
  refilter.Step(console.text, [] { return false; });
  if (mainWindow) KillTimer(mainWindow, kRefilterTimer);
}

void ViewsControl::ToggleFilter() {
  MonitorView& view = views.Current();
  view.filterOn = !view.filterOn;
  SaveViews();
  ApplyFilters();
}

void ViewsControl::EditFilters() {
  FilterDialog dialog;
  dialog.rules = views.Current().rules;
  if (dialog.Run(mainWindow) != 1 || dialog.rules == views.Current().rules) return;
  FinishRefilter();
  views.Current().rules = dialog.rules;
  SaveViews();
  ApplyFilters();
}

std::string ViewsControl::UnreadableText() const {
  // Rules left out, and views read with none: one box says both.
  std::string told;
  char text[MAX_PATH + 512];
  for (const auto& [pattern, list] : {std::pair<int, const std::string*>{IDS_FILTER_RULES_UNREADABLE, &unreadableRules},
                                      std::pair<int, const std::string*>{IDS_VIEW_SECTIONS_BROKEN, &brokenViews}}) {
    if (list->empty()) continue;
    char loaded[kUiTextSize];
    LoadUiText(pattern, loaded);
    std::snprintf(text, sizeof text, loaded, list->c_str());
    told += (told.empty() ? "" : "\n\n") + std::string(text);
  }
  return told;
}
