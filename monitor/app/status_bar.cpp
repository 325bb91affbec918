// The status bar: its texts in both languages and its parts' widths.
#include "monitor/app/status_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "scoped/scoped_win.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/common/ui_text.h"

namespace {

// Room around a part's text for its borders, in pixels.
constexpr int kPartPadding = 16;
// The log part is never squeezed below this when the channel notice takes the right end.
constexpr int kLogMinimum = 60;

std::string Format(int pattern, Language language, const std::string& value) {
  char loaded[kUiTextSize];
  LoadUiText(language, pattern, loaded);
  char text[kUiTextSize + MAX_PATH];
  std::snprintf(text, sizeof text, loaded, value.c_str());
  return text;
}

std::string CountText(const std::string& count, Language language) {
  return Format(IDS_STATUS_COUNT, language, count);
}

std::string CountHiddenText(const std::string& count, const std::string& shown, const std::string& hidden,
                            Language language) {
  char loaded[kUiTextSize];
  LoadUiText(language, IDS_STATUS_COUNT_HIDDEN, loaded);
  char text[kUiTextSize + 64];
  std::snprintf(text, sizeof text, loaded, count.c_str(), shown.c_str(), hidden.c_str());
  return text;
}

std::string RateText(const std::string& rate, Language language) {
  return Format(IDS_STATUS_RATE, language, rate);
}

int TextWidth(HDC dc, const std::string& text) {
  SIZE size = {};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

}  // namespace

StatusTexts MakeStatusTexts(uint64_t count, uint32_t rate, const char* logName, bool channelDown,
                            Language language, int notice, uint64_t hidden) {
  StatusTexts texts;
  // Shown in this view: what was received and is not hidden here.
  const uint64_t shown = count > hidden ? count - hidden : 0;
  texts.count = hidden != 0 ? CountHiddenText(std::to_string(count), std::to_string(shown), std::to_string(hidden), language)
                            : CountText(std::to_string(count), language);
  texts.rate = RateText(std::to_string(rate), language);
  texts.countSample =
      hidden != 0 ? CountHiddenText("8888888", "8888888", "888888", language) : CountText("8888888", language);
  texts.rateSample = RateText("88888", language);
  if (logName) texts.log = Format(IDS_STATUS_LOG, language, logName);
  if (channelDown) {
    char text[kUiTextSize];
    LoadUiText(language, IDS_STATUS_CHANNEL_DOWN, text);
    texts.channel = text;
  }
  if (notice >= 0) {
    char text[kUiTextSize];
    LoadUiText(language, notice, text);
    texts.channel += texts.channel.empty() ? text : std::string("  ") + text;
  }
  return texts;
}

void StatusBarView::Show(HWND bar, const StatusTexts& texts) {
  if (!bar || !IsWindowVisible(bar)) return;
  RECT client = {};
  GetClientRect(bar, &client);
  int edges[kParts] = {};
  int parts = 0;
  {
    scoped::WindowDC dc(bar);
    if (!dc.get()) return;
    const auto font = reinterpret_cast<HFONT>(SendMessageA(bar, WM_GETFONT, 0, 0));
    scoped::Select selected(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    const int countWidth = std::max(TextWidth(dc.get(), texts.count), TextWidth(dc.get(), texts.countSample));
    const int rateWidth = std::max(TextWidth(dc.get(), texts.rate), TextWidth(dc.get(), texts.rateSample));
    edges[parts] = countWidth + kPartPadding;
    ++parts;
    edges[parts] = edges[parts - 1] + rateWidth + kPartPadding;
    ++parts;
    if (texts.channel.empty()) {
      edges[parts++] = -1;  // the log part takes the rest
    } else {
      const int noticeWidth = TextWidth(dc.get(), texts.channel) + kPartPadding;
      edges[parts] = std::max(edges[parts - 1] + kLogMinimum, static_cast<int>(client.right) - noticeWidth);
      ++parts;
      edges[parts++] = -1;
    }
  }
  if (parts != partCount_ || !std::equal(edges, edges + parts, edges_)) {
    SendMessageA(bar, SB_SETPARTS, static_cast<WPARAM>(parts), reinterpret_cast<LPARAM>(edges));
    std::copy(edges, edges + parts, edges_);
    partCount_ = parts;
    // Every text again: new parts start empty, and a control need not keep the old ones.
    std::fill(known_, known_ + kParts, false);
  }
  const std::string* wanted[kParts] = {&texts.count, &texts.rate, &texts.log, &texts.channel};
  for (int i = 0; i < parts; ++i) {
    if (known_[i] && *wanted[i] == shown_[i]) continue;
    SendMessageA(bar, SB_SETTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wanted[i]->c_str()));
    shown_[i] = *wanted[i];
    known_[i] = true;
  }
}
