// ViewFlags: what the consoles' gutter draws before each stored line, and the log's stamps.
// View > Time Stamps (command 124) and View > Senders (125, "[pid program] " before each message
// of tellit.dll; debug output always), read at start-up and saved at each toggle; View > Time
// Stamp Form (1241 to 1246): the stamps' form and which time they show.
#pragma once

#include <windows.h>

#include <functional>

#include "monitor/view/history_gutter.h"
#include "monitor/view/receive_stamps.h"
#include "receiving/file_time.h"

class ViewFlags {
 public:
  // `window`: the main window's handle, whose menu shows the check marks (null before it
  // stands); `gutterChanged`: every console draws its stored lines anew.
  ViewFlags(const HWND& window, std::function<void()> gutterChanged)
      : window_(window), gutterChanged_(std::move(gutterChanged)) {}
  ViewFlags(const ViewFlags&) = delete;
  ViewFlags& operator=(const ViewFlags&) = delete;

  void LoadViewFlags();
  // False for a command that is no View flag.
  bool ToggleViewFlag(int command);
  // View > Time Stamp Form: false for a command that is none of its items.
  bool ChooseStampStyle(int command);
  // Elapsed times count from now (start-up, All Erase); the next delta is 0.
  void RestartElapsedTime();

  // What every console draws from; the log's stamps follow the same style.
  HistoryGutter& gutter() { return gutter_; }
  const HistoryGutter& gutter() const { return gutter_; }
  ReceiveStamps& stamps() { return stamps_; }

 private:
  const HWND& window_;
  std::function<void()> gutterChanged_;
  HistoryGutter gutter_{LocalClockOf};
  ReceiveStamps stamps_;  // the log's
};
