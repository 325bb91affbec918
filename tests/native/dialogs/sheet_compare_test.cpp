// Which setting changes make the settings sheet reconfigure the running console.
#include <gtest/gtest.h>

#include <cstring>

#include "monitor/settings/settings_sheet_compare.h"

namespace {

struct FieldCase {
  const char* field;
  void (*change)(ConsoleSettings&);
};

// Each setting the sheet edits, changed by the smallest step.
const FieldCase kEditedFields[] = {
    {"wrapColumn", [](ConsoleSettings& s) { s.wrapColumn += 1; }},
    {"showVScroll", [](ConsoleSettings& s) { s.showVScroll = !s.showVScroll; }},
    {"showHScroll", [](ConsoleSettings& s) { s.showHScroll = !s.showHScroll; }},
    {"hexMode", [](ConsoleSettings& s) { s.hexMode = !s.hexMode; }},
    {"autoScroll", [](ConsoleSettings& s) { s.autoScroll = !s.autoScroll; }},
    {"bufferSize", [](ConsoleSettings& s) { s.bufferSize += 1024; }},
    {"tabSize", [](ConsoleSettings& s) { s.tabSize = 8; }},
    {"fontSize", [](ConsoleSettings& s) { s.fontSize += 1; }},
    {"fontName", [](ConsoleSettings& s) { std::strcpy(s.fontName, "FixedSyz"); }},
    {"fontName case", [](ConsoleSettings& s) { std::strcpy(s.fontName, "Fixedsys"); }},
    {"normalText", [](ConsoleSettings& s) { s.normalText ^= 1; }},
    {"normalBack", [](ConsoleSettings& s) { s.normalBack ^= 1; }},
    {"hexText", [](ConsoleSettings& s) { s.hexText ^= 1; }},
    {"hexBack", [](ConsoleSettings& s) { s.hexBack ^= 1; }},
    {"selectText", [](ConsoleSettings& s) { s.selectText ^= 1; }},
    {"selectBack", [](ConsoleSettings& s) { s.selectBack ^= 0x10000; }},
};

// Fields the sheet neither shows nor writes.
const FieldCase kOtherFields[] = {
    {"maxLines", [](ConsoleSettings& s) { s.maxLines = 7; }},
    {"readOnly", [](ConsoleSettings& s) { s.readOnly = !s.readOnly; }},
    {"newlineMode", [](ConsoleSettings& s) { s.newlineMode = 0; }},
    {"inputLine", [](ConsoleSettings& s) { s.inputLine = 1; }},
    {"inputText", [](ConsoleSettings& s) { s.inputText ^= 1; }},
    {"inputBack", [](ConsoleSettings& s) { s.inputBack ^= 1; }},
    // Bytes after the name's NUL are not part of the name.
    {"fontName tail", [](ConsoleSettings& s) { s.fontName[sizeof s.fontName - 1] = 'x'; }},
};

ConsoleSettings Running() {
  ConsoleSettings s;
  std::strcpy(s.fontName, "FixedSys");
  s.tabSize = 4;
  return s;
}

TEST(SheetSettingsDiffer, EqualRecordsAreTheSame) {
  EXPECT_FALSE(SheetSettingsDiffer(Running(), Running()));
}

TEST(SheetSettingsDiffer, EveryEditedSettingCountsInBothDirections) {
  for (const FieldCase& c : kEditedFields) {
    ConsoleSettings changed = Running();
    c.change(changed);
    EXPECT_TRUE(SheetSettingsDiffer(changed, Running())) << c.field;
    EXPECT_TRUE(SheetSettingsDiffer(Running(), changed)) << c.field;
  }
}

TEST(SheetSettingsDiffer, SettingsTheSheetDoesNotEditAreIgnored) {
  for (const FieldCase& c : kOtherFields) {
    ConsoleSettings changed = Running();
    c.change(changed);
    EXPECT_FALSE(SheetSettingsDiffer(changed, Running())) << c.field;
  }
}

}  // namespace
