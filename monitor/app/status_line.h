// StatusLine: the status bar of the main window and what it says: the messages counted as they
// are shown, their rate, the log file, a channel that is down, and a notice for a few seconds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "monitor/app/message_counter.h"
#include "monitor/app/status_bar.h"

// What the rest of the window tells the status bar at each update.
struct StatusFacts {
  const char* logName = nullptr;  // while saving, else null
  bool channelDown = false;
  uint64_t hidden = 0;            // the stored messages the filters hide
  std::string fileStatus;         // the shown opened file's progress, else empty
};

class StatusLine {
 public:
  using FactsSource = std::function<StatusFacts()>;
  explicit StatusLine(FactsSource facts) : facts_(std::move(facts)) {}
  StatusLine(const StatusLine&) = delete;
  StatusLine& operator=(const StatusLine&) = delete;

  // The bar control, made by the main window; null while there is none.
  void SetBar(HWND bar) { bar_ = bar; }
  HWND bar() const { return bar_; }

  // One message shown, at tick time now; All Erase starts the count again.
  void Count(uint32_t now) { messages_.Add(now); }
  void ResetCount() { messages_.ResetCount(); }
  uint64_t Total() const { return messages_.Total(); }

  // Brought up to date once a tick, and when what it says changed.
  void Update();
  // A text of the string table in the notice part for a few seconds.
  void ShowNotice(int textId);
  // The notice's time is up now: the next update takes it away.
  void EndNotice() { noticeEnd_ = GetTickCount(); }
  // The text id in the notice part, or -1.
  int notice() const { return notice_; }

 private:
  FactsSource facts_;
  HWND bar_ = nullptr;
  MessageCounter messages_;
  StatusBarView view_;
  int notice_ = -1;        // a text id shown in the notice part until noticeEnd_, or -1
  DWORD noticeEnd_ = 0;    // GetTickCount when the notice goes
};
