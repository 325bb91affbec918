// The monitor's filters: the rules of vigilo.ini's section "filters", the switch View > Filter,
// Edit > Filter..., and the history decided again in slices whenever the rules in force change.
#include <windows.h>

#include <string>
#include <vector>

#include "code_page/ansi_code_page.h"
#include "filtering/rule_settings.h"
#include "monitor/filters/filter_dialog.h"
#include "monitor/app/monitor_app.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings/settings_file.h"
#include "monitor/settings/settings_ranges.h"

namespace {

constexpr char kSystemSection[] = "system";
constexpr char kFilterKey[] = "filter";
// The longest value a rule line may have in the file.
constexpr DWORD kRuleValueSize = 8192;

void CheckMenu(HWND window, int command, bool checked) {
  if (window) CheckMenuItem(GetMenu(window), command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void MonitorApp::LoadFilters() {
  filterOn = settings_ranges::ClampFlag(ReadSettingInt(kSystemSection, kFilterKey, 1)) == 1;
  CheckMenu(mainWindow, ID_VIEW_FILTER, filterOn);
  filterRules.clear();
  if (settingsPath[0]) {
    std::vector<char> buffer(kRuleValueSize);
    const auto lookup = [&](const std::string& key, std::string& value) {
      // A value the file cannot hold stands for a missing key.
      static const char kMissing[] = "\x01";
      GetPrivateProfileStringA(filtering::kFiltersSection, key.c_str(), kMissing, buffer.data(), kRuleValueSize,
                               settingsPath);
      value = buffer.data();
      return value != kMissing;
    };
    filtering::SavedRules saved = filtering::ReadSavedRules(lookup);
    filterRules = std::move(saved.rules);
    unreadableRules.clear();
    for (const uint32_t number : saved.unreadable) {
      unreadableRules += (unreadableRules.empty() ? "" : ", ") + std::to_string(number);
    }
    if (!unreadableRules.empty()) NotifyTrouble(kFilterRulesUnreadable, 0);
  }
  ApplyFilters();
}

void MonitorApp::SaveFilters() {
  if (!settingsPath[0]) return;
  // The section is written whole, so that no rule beyond the new count stays behind.
  std::string section;
  for (const auto& [key, value] : filtering::SavedRuleValues(filterRules)) section += key + "=" + value + '\0';
  section += '\0';
  WritePrivateProfileSectionA(filtering::kFiltersSection, section.c_str(), settingsPath);
}

void MonitorApp::ApplyFilters() {
  activeFilters = filterOn ? filtering::FilterSet(filterRules, LeadTrailSetsForAnsiCodePage(), CaseFoldingForAnsiCodePage())
                           : filtering::FilterSet();
  // Highlight colour pair n is rule n - 1's colours.
  console.highlights.clear();
  for (const filtering::FilterRule& rule : filterRules) {
    console.highlights.push_back(XConsole::HighlightColours{rule.textColour, rule.backColour});
  }
  refilter.Start(console.text, activeFilters);
  RefilterSlice();
  if (refilter.Running() && mainWindow) SetTimer(mainWindow, kRefilterTimer, kRefilterPeriodMs, nullptr);
}

void MonitorApp::RefilterSlice() {
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
  UpdateStatusBar();
}

void MonitorApp::ToggleFilter() {
  filterOn = !filterOn;
  CheckMenu(mainWindow, ID_VIEW_FILTER, filterOn);
  WriteSettingInt(kSystemSection, kFilterKey, filterOn ? 1 : 0);
  ApplyFilters();
}

void MonitorApp::EditFilters() {
  FilterDialog dialog;
  dialog.rules = filterRules;
  if (dialog.Run(mainWindow) != 1 || dialog.rules == filterRules) return;
  filterRules = dialog.rules;
  SaveFilters();
  ApplyFilters();
}
