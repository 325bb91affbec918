// The View flags the console's gutter draws from: View > Time Stamps (command 124) and View >
// Senders (125), each one row of one table, read at start-up and toggled by one function. A
// toggle redraws the whole history at once and is saved in section "system".
#include <windows.h>

#include "monitor/app/monitor_app.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings/settings_file.h"
#include "monitor/settings/settings_ranges.h"

namespace {

struct ViewFlag {
  int command;
  const char* key;
  bool HistoryGutter::*flag;
};

constexpr char kSystemSection[] = "system";
constexpr ViewFlag kViewFlags[] = {
    {ID_VIEW_TIME_STAMPS, "time stamps", &HistoryGutter::stamps},
    {ID_VIEW_SENDERS, "show senders", &HistoryGutter::senders},
};

void CheckFlag(HWND mainWindow, const ViewFlag& row, bool on) {
  if (mainWindow) CheckMenuItem(GetMenu(mainWindow), UINT(row.command), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void MonitorApp::LoadViewFlags() {
  for (const ViewFlag& row : kViewFlags) {
    gutter.*row.flag = settings_ranges::ClampFlag(ReadSettingInt(kSystemSection, row.key, 0)) == 1;
    CheckFlag(mainWindow, row, gutter.*row.flag);
  }
  console.GutterChanged();
}

bool MonitorApp::ToggleViewFlag(int command) {
  for (const ViewFlag& row : kViewFlags) {
    if (row.command != command) continue;
    bool& on = gutter.*row.flag;
    on = !on;
    CheckFlag(mainWindow, row, on);
    // Every stored line is drawn anew, with or without what the flag adds.
    console.GutterChanged();
    WriteSettingInt(kSystemSection, row.key, on ? 1 : 0);
    return true;
  }
  return false;
}
