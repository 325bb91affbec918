// The comparison that decides whether the console is reconfigured after the settings sheet.
#include "monitor/settings_sheet_compare.h"

#include <cstring>

bool SheetSettingsDiffer(const ConsoleSettings& a, const ConsoleSettings& b) {
  return a.wrapColumn != b.wrapColumn || a.showVScroll != b.showVScroll ||
         a.showHScroll != b.showHScroll || a.hexMode != b.hexMode ||
         a.autoScroll != b.autoScroll || a.bufferSize != b.bufferSize ||
         a.tabSize != b.tabSize || a.fontSize != b.fontSize ||
         std::strncmp(a.fontName, b.fontName, sizeof a.fontName) != 0 ||
         a.normalText != b.normalText || a.normalBack != b.normalBack ||
         a.hexText != b.hexText || a.hexBack != b.hexBack || a.selectText != b.selectText ||
         a.selectBack != b.selectBack;
}
