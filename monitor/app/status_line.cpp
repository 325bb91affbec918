// StatusLine: the main window's status bar brought up to date, and its notices.
#include "monitor/app/status_line.h"

#include "monitor/common/language.h"

namespace {

// How long a notice (a copy that failed) stays in the status bar.
constexpr DWORD kStatusNoticeMilliseconds = 6000;

}  // namespace

void StatusLine::Update() {
  // Asked at every tick, shown or not, so that old time slots leave in time.
  const DWORD now = GetTickCount();
  const uint32_t rate = messages_.RatePerSecond(now);
  if (notice_ >= 0 && int32_t(now - noticeEnd_) >= 0) notice_ = -1;
  if (!bar_ || !IsWindowVisible(bar_)) return;
  const StatusFacts facts = facts_();
  StatusTexts texts = MakeStatusTexts(messages_.Total(), rate, facts.logName, facts.channelDown, language, notice_,
                                      facts.hidden);
  // The shown opened file's progress, where nothing more pressing is said.
  if (!facts.fileStatus.empty() && texts.channel.empty()) texts.channel = facts.fileStatus;
  view_.Show(bar_, texts);
}

void StatusLine::ShowNotice(int textId) {
  notice_ = textId;
  noticeEnd_ = GetTickCount() + kStatusNoticeMilliseconds;
  Update();
}
