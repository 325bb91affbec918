// The keys of vigilo.ini and the rule each is read by.
#include "monitor/settings/settings_keys.h"

namespace settings_keys {

const Key* const kAll[] = {&kToolBar,    &kStatusBar,   &kLanguage,       &kCaptureDebugOutput, &kCaptureGlobalDebugOutput,
                           &kTimeStamps, &kShowSenders, &kStampForm,      &kStampsOfArrival,    &kFilter,
                           &kViews,      &kCurrentView, &kLogFileName,    &kLogSaveConsole,     &kLogMaxSize,
                           &kLogKeep,    &kLogEncoding};
const std::size_t kCount = sizeof kAll / sizeof kAll[0];

int32_t Read(const Key& key, int32_t stored) {
  switch (key.rule) {
    case Rule::kFlag: return stored != 0 ? 1 : 0;
    case Rule::kRange: return stored >= key.low && stored <= key.high ? stored : key.defaultValue;
    case Rule::kAny: return stored;
    case Rule::kText: return key.defaultValue;
  }
  return key.defaultValue;
}

}  // namespace settings_keys
