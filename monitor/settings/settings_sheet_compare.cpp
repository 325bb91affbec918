// The comparison that decides whether the console is reconfigured after the settings sheet.
#include "monitor/settings/settings_sheet_compare.h"

#include "monitor/settings/console_settings_table.h"

bool SheetSettingsDiffer(const ConsoleSettings& a, const ConsoleSettings& b) {
  return console_settings_table::Differ(a, b);
}
