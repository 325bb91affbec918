// The keys of vigilo.ini beside section "console" (whose rows are console_settings_table's) and
// the views' own sections (saved_views'): one row per key with its section, its default, the rule
// a stored value is read by, and the part of the monitor that owns it. Every read and write of
// these keys goes through a row. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace settings_keys {

inline constexpr char kSystem[] = "system";
inline constexpr char kLogFile[] = "log file";

enum class Rule : uint8_t {
  kFlag,   // on/off: nonzero reads as 1
  kRange,  // a number from low to high; anything else reads as the default
  kAny,    // any number, kept as it is (the language: one without a name shows English)
  kText,   // a text; the default is empty
};

enum class Owner : uint8_t {
  kMainWindow,  // the bars
  kLanguage,    // the language dialog
  kIntake,      // what is received
  kViewFlags,   // the gutter's stamps and senders
  kViews,       // the views and their filters
  kLog,         // log saving
};

struct Key {
  const char* section;
  const char* name;
  Rule rule;
  int32_t defaultValue;
  int32_t low, high;  // kRange only
  Owner owner;
};

inline constexpr Key kToolBar{kSystem, "tool bar", Rule::kFlag, 1, 0, 1, Owner::kMainWindow};
inline constexpr Key kStatusBar{kSystem, "status bar", Rule::kFlag, 1, 0, 1, Owner::kMainWindow};
inline constexpr Key kLanguage{kSystem, "language", Rule::kAny, -1, 0, 0, Owner::kLanguage};
inline constexpr Key kCaptureDebugOutput{kSystem, "capture debug output", Rule::kFlag, 0, 0, 1, Owner::kIntake};
inline constexpr Key kCaptureGlobalDebugOutput{kSystem, "capture global debug output", Rule::kFlag, 0, 0, 1,
                                               Owner::kIntake};
inline constexpr Key kTimeStamps{kSystem, "time stamps", Rule::kFlag, 0, 0, 1, Owner::kViewFlags};
inline constexpr Key kShowSenders{kSystem, "show senders", Rule::kFlag, 0, 0, 1, Owner::kViewFlags};
// The stamps' form: 0 clock, 1 date and clock, 2 elapsed, 3 since the line before.
inline constexpr Key kStampForm{kSystem, "time stamp form", Rule::kRange, 0, 0, 3, Owner::kViewFlags};
inline constexpr Key kStampsOfArrival{kSystem, "time stamps of arrival", Rule::kFlag, 0, 0, 1, Owner::kViewFlags};
// The first view's View > Filter; the others keep theirs in their own sections.
inline constexpr Key kFilter{kSystem, "filter", Rule::kFlag, 1, 0, 1, Owner::kViews};
inline constexpr Key kViews{kSystem, "views", Rule::kRange, 1, 1, 32, Owner::kViews};
inline constexpr Key kCurrentView{kSystem, "current view", Rule::kRange, 1, 1, 32, Owner::kViews};
inline constexpr Key kLogFileName{kLogFile, "file name", Rule::kText, 0, 0, 0, Owner::kLog};
inline constexpr Key kLogSaveConsole{kLogFile, "save console", Rule::kFlag, 1, 0, 1, Owner::kLog};
// Megabytes; 0: no limit.
inline constexpr Key kLogMaxSize{kLogFile, "max size", Rule::kRange, 0, 0, 4095, Owner::kLog};
inline constexpr Key kLogKeep{kLogFile, "keep", Rule::kRange, 5, 0, 999, Owner::kLog};
// 0: the ANSI code page, the log as it always was; 1: UTF-8, every character.
inline constexpr Key kLogEncoding{kLogFile, "log encoding", Rule::kRange, 0, 0, 1, Owner::kLog};

// Every row, for walks over them all.
extern const Key* const kAll[];
extern const std::size_t kCount;

// What a number stored under the key reads as, by the key's rule.
int32_t Read(const Key& key, int32_t stored);

}  // namespace settings_keys
