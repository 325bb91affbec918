// ReceiveStamps: the local receive time, the stamped copy, and command 124 with its setting.
#include "monitor/view/receive_stamps.h"

#include <windows.h>

#include <new>

#include "receiving/file_time.h"

#include "monitor/app/monitor_app.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings/settings_file.h"
#include "monitor/settings/settings_ranges.h"

namespace {

constexpr char kSystemSection[] = "system";
constexpr char kTimeStampsKey[] = "time stamps";
// A copy grown for one huge message is given back afterwards rather than kept for good.
constexpr size_t kKeptCapacity = 256 * 1024;

}  // namespace

const unsigned char* ReceiveStamps::Apply(const unsigned char* text, size_t length, uint64_t sentTime,
                                          size_t& shownLength) {
  shownLength = length;
  headStamped_ = false;
  const size_t lines = on ? stamper_.LinesBegun(text, length) : 0;
  if (lines == 0) {
    stamper_.Follow(text, length);
    return text;
  }
  SYSTEMTIME now = {};
  if (sentTime == 0 || !LocalTimeOf(sentTime, now)) GetLocalTime(&now);
  char stamp[line_stamps::kStampLength + 1];
  line_stamps::FormatStamp({now.wHour, now.wMinute, now.wSecond, now.wMilliseconds}, stamp);
  const size_t needed = length + lines * line_stamps::kStampLength;
  if (stamped_.capacity() > kKeptCapacity && needed <= kKeptCapacity) std::vector<uint8_t>().swap(stamped_);
  stamped_.clear();
  try {
    stamped_.reserve(needed);
  } catch (const std::bad_alloc&) {
    stamper_.Follow(text, length);
    return text;
  }
  headStamped_ = stamper_.LinesBegun(text, 1) == 1;
  stamper_.Stamp(text, length, stamp, stamped_);
  shownLength = stamped_.size();
  return stamped_.data();
}

void MonitorApp::LoadTimeStamps() {
  stamps.on = settings_ranges::ClampFlag(ReadSettingInt(kSystemSection, kTimeStampsKey, 0)) == 1;
  if (mainWindow) {
    CheckMenuItem(GetMenu(mainWindow), ID_VIEW_TIME_STAMPS, MF_BYCOMMAND | (stamps.on ? MF_CHECKED : MF_UNCHECKED));
  }
}

void MonitorApp::ToggleTimeStamps() {
  stamps.on = !stamps.on;
  if (mainWindow) {
    CheckMenuItem(GetMenu(mainWindow), ID_VIEW_TIME_STAMPS, MF_BYCOMMAND | (stamps.on ? MF_CHECKED : MF_UNCHECKED));
  }
  WriteSettingInt(kSystemSection, kTimeStampsKey, stamps.on ? 1 : 0);
}
