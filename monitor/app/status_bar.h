// The status bar's parts: messages received, their rate, the log file, a channel that is down;
// the texts in the current language, and the view that puts them into the bar.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "monitor/common/language.h"

// What the status bar says, part by part; an empty channel text leaves its part out.
struct StatusTexts {
  std::string count;    // messages since start or All Erase
  std::string rate;     // "N msg/s"
  std::string log;      // the log file while saving, else empty
  std::string channel;  // why nothing is received, and a short notice (a copy that failed), else empty
  // Texts of the widest count and rate likely, so that the parts keep their width while the
  // numbers change.
  std::string countSample;
  std::string rateSample;
};

// The texts in the language; logName is null while no log is saved, notice a text id (IDS_) or -1.
// hidden counts the stored messages the filters hide; 0 leaves the count part as it was.
StatusTexts MakeStatusTexts(uint64_t count, uint32_t rate, const char* logName, bool channelDown,
                            Language language, int notice = -1, uint64_t hidden = 0);

// Keeps the status bar in line with the texts, telling the control only what changed.
class StatusBarView {
 public:
  // Does nothing while the bar is hidden: it learns the texts once shown again.
  void Show(HWND bar, const StatusTexts& texts);

 private:
  static constexpr int kParts = 4;
  int edges_[kParts] = {};
  int partCount_ = 0;
  std::string shown_[kParts];
  bool known_[kParts] = {};  // whether shown_ is what the control holds
};
