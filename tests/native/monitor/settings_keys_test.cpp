// The keys of vigilo.ini: each read by its rule, each default one its own rule keeps, and every
// key of every section named in lower-case words with blanks, once per section.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "monitor/filters/view_set.h"
#include "monitor/settings/console_settings_table.h"
#include "monitor/settings/settings_keys.h"

namespace {

using settings_keys::Key;
using settings_keys::Read;

TEST(SettingsKeys, StoredValuesReadByTheKeysRule) {
  const struct {
    const Key& key;
    int32_t stored, read;
  } cases[] = {
      {settings_keys::kToolBar, 0, 0},           {settings_keys::kToolBar, 1, 1},
      {settings_keys::kToolBar, 7, 1},           {settings_keys::kToolBar, -1, 1},
      {settings_keys::kStampForm, 3, 3},         {settings_keys::kStampForm, 4, 0},
      {settings_keys::kStampForm, -1, 0},        {settings_keys::kViews, 0, 1},
      {settings_keys::kViews, 32, 32},           {settings_keys::kViews, 33, 1},
      {settings_keys::kLogMaxSize, 4095, 4095},  {settings_keys::kLogMaxSize, 4096, 0},
      {settings_keys::kLogKeep, 1000, 5},        {settings_keys::kLogKeep, 0, 0},
      {settings_keys::kLanguage, 7, 7},          {settings_keys::kLanguage, -1, -1},
      {settings_keys::kLogSaveConsole, 0, 0},    {settings_keys::kLogSaveConsole, 2, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Read(c.key, c.stored), c.read) << c.key.name << " stored " << c.stored;
  }
}

TEST(SettingsKeys, EveryDefaultIsOneItsRuleKeeps) {
  for (size_t i = 0; i < settings_keys::kCount; ++i) {
    const Key& key = *settings_keys::kAll[i];
    if (key.rule == settings_keys::Rule::kText) continue;
    EXPECT_EQ(Read(key, key.defaultValue), key.defaultValue) << key.name;
  }
}

bool LowerCaseWords(const std::string& name) {
  if (name.empty() || name.front() == ' ' || name.back() == ' ' || name.find("  ") != std::string::npos) return false;
  for (char c : name) {
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ')) return false;
  }
  return true;
}

TEST(SettingsKeys, EveryKeyIsLowerCaseWordsWithBlanksOncePerSection) {
  std::set<std::pair<std::string, std::string>> seen;
  const auto check = [&](const std::string& section, const std::string& key) {
    EXPECT_TRUE(LowerCaseWords(section)) << section;
    EXPECT_TRUE(LowerCaseWords(key)) << section << ": " << key;
    EXPECT_TRUE(seen.insert({section, key}).second) << section << ": " << key << " is twice";
  };
  for (size_t i = 0; i < settings_keys::kCount; ++i) check(settings_keys::kAll[i]->section, settings_keys::kAll[i]->name);
  for (size_t i = 0; i < console_settings_table::kRowCount; ++i) {
    check(console_settings_table::kSection, console_settings_table::kRows[i].key);
  }
  // The views' sections: the first view's "name" in "filters", the others' keys in "view 2".
  for (const saved_views::Section& section : saved_views::ViewSections([] {
         ViewSet views;
         views.Add(MonitorView());
         views[1].name = "named";
         views[1].rules.resize(1);
         return views;
       }())) {
    for (const auto& [key, value] : section.values) check(section.name, key);
  }
  EXPECT_GE(seen.size(), settings_keys::kCount + console_settings_table::kRowCount + 4);
}

}  // namespace
