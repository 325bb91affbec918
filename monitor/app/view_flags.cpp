// The View flags the console's gutter draws from: View > Time Stamps (command 124) and View >
// Senders (125), each one row of one table, read at start-up and toggled by one function; and
// View > Time Stamp Form (1241 to 1246): the stamps' form and which time they show, radio items.
// A change redraws the whole history at once and is saved in section "system".
#include <windows.h>

#include "monitor/app/view_flags.h"

#include "receiving/file_time.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings/settings_file.h"
#include "monitor/settings/settings_ranges.h"

namespace {

struct ViewFlag {
  int command;
  const settings_keys::Key& key;
  bool HistoryGutter::*flag;
};

static_assert(settings_keys::kStampForm.high == line_stamps::kStampForms - 1, "a stored form names one of the forms");

constexpr ViewFlag kViewFlags[] = {
    {ID_VIEW_TIME_STAMPS, settings_keys::kTimeStamps, &HistoryGutter::stamps},
    {ID_VIEW_SENDERS, settings_keys::kShowSenders, &HistoryGutter::senders},
};

void CheckStyle(HWND mainWindow, const line_stamps::StampStyle& style) {
  if (!mainWindow) return;
  const HMENU menu = GetMenu(mainWindow);
  CheckMenuRadioItem(menu, ID_VIEW_STAMP_CLOCK, ID_VIEW_STAMP_DELTA, ID_VIEW_STAMP_CLOCK + int(style.form), MF_BYCOMMAND);
  CheckMenuRadioItem(menu, ID_VIEW_STAMP_SENT, ID_VIEW_STAMP_ARRIVAL,
                     style.arrival ? ID_VIEW_STAMP_ARRIVAL : ID_VIEW_STAMP_SENT, MF_BYCOMMAND);
}

void CheckFlag(HWND mainWindow, const ViewFlag& row, bool on) {
  if (mainWindow) CheckMenuItem(GetMenu(mainWindow), UINT(row.command), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void ViewFlags::LoadViewFlags() {
  for (const ViewFlag& row : kViewFlags) {
    gutter_.*row.flag = ReadSetting(row.key) == 1;
    CheckFlag(window_, row, gutter_.*row.flag);
  }
  // A form the file names that there is none of reads as the clock.
  gutter_.style.form = line_stamps::StampForm(ReadSetting(settings_keys::kStampForm));
  gutter_.style.arrival = ReadSetting(settings_keys::kStampsOfArrival) == 1;
  CheckStyle(window_, gutter_.style);
  gutterChanged_();
}

bool ViewFlags::ChooseStampStyle(int command) {
  line_stamps::StampStyle& style = gutter_.style;
  if (command >= ID_VIEW_STAMP_CLOCK && command <= ID_VIEW_STAMP_DELTA) {
    style.form = line_stamps::StampForm(command - ID_VIEW_STAMP_CLOCK);
    WriteSetting(settings_keys::kStampForm, int(style.form));
  } else if (command == ID_VIEW_STAMP_SENT || command == ID_VIEW_STAMP_ARRIVAL) {
    style.arrival = command == ID_VIEW_STAMP_ARRIVAL;
    WriteSetting(settings_keys::kStampsOfArrival, style.arrival ? 1 : 0);
  } else {
    return false;
  }
  CheckStyle(window_, style);
  gutterChanged_();
  return true;
}

void ViewFlags::RestartElapsedTime() {
  gutter_.style.origin = NowAsFileTime();
  stamps_.Restart();
  gutterChanged_();
}

bool ViewFlags::ToggleViewFlag(int command) {
  for (const ViewFlag& row : kViewFlags) {
    if (row.command != command) continue;
    bool& on = gutter_.*row.flag;
    on = !on;
    CheckFlag(window_, row, on);
    // Every stored line is drawn anew, with or without what the flag adds.
    gutterChanged_();
    WriteSetting(row.key, on ? 1 : 0);
    return true;
  }
  return false;
}
