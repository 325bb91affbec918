// The settings file vigilo.ini: keyed reads and writes, and the console settings loader.
#include "monitor/settings/settings_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "monitor/common/ansi_path.h"
#include "monitor/settings/console_settings_table.h"
#include "monitor/settings/font_chooser.h"
#include "monitor/settings/settings_ranges.h"

char settingsPath[MAX_PATH] = "";
bool darkColourDefaults = false;

bool SettingPresent(const char* section, const char* key) {
  if (settingsPath[0] == '\0') return false;
  // A default no value can have: a key set to the empty text is present.
  char text[4];
  GetPrivateProfileStringA(section, key, "\x01", text, sizeof text, settingsPath);
  return !(text[0] == '\x01' && text[1] == '\0');
}

int ReadSettingInt(const char* section, const char* key, int defaultValue) {
  if (settingsPath[0] == '\0') return defaultValue;
  // Read as text: the private-profile number reader takes "abc" for 0 and wraps values past
  // 32 bits, where the key's default is the sound reading.
  char text[24];
  const DWORD length = GetPrivateProfileStringA(section, key, "", text, sizeof text, settingsPath);
  if (length >= sizeof text - 1) return defaultValue;  // cut: longer than any 32-bit number
  return settings_ranges::ParseSettingInt(text, defaultValue);
}

int ReadSetting(const settings_keys::Key& key) {
  return settings_keys::Read(key, ReadSettingInt(key.section, key.name, key.defaultValue));
}

bool WriteSetting(const settings_keys::Key& key, int value) { return WriteSettingInt(key.section, key.name, value); }

void ReadSettingText(const settings_keys::Key& key, char* buffer, std::size_t size) {
  ReadSettingString(key.section, key.name, "", buffer, size);
}

bool WriteSettingText(const settings_keys::Key& key, const char* value) {
  return WriteSettingString(key.section, key.name, value);
}

void ReadSettingString(const char* section, const char* key, const char* defaultValue,
                       char* buffer, std::size_t size) {
  if (size == 0) return;
  if (settingsPath[0] == '\0') {
    std::snprintf(buffer, size, "%s", defaultValue);
    return;
  }
  GetPrivateProfileStringA(section, key, defaultValue, buffer, static_cast<DWORD>(size), settingsPath);
}

bool WriteSettingInt(const char* section, const char* key, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  return WriteSettingString(section, key, text);
}

bool WriteSettingString(const char* section, const char* key, const char* value) {
  if (settingsPath[0] == '\0') return false;
  return WritePrivateProfileStringA(section, key, value, settingsPath) != FALSE;
}

void ReadConsoleSettings(ConsoleSettings& record) {
  using namespace console_settings_table;
  record = ConsoleSettings();  // the fields the file does not hold keep their defaults

  // The family first: the sizes it offers decide whether the stored size is usable.
  const ConsoleSettings defaults;
  ReadSettingString(kSection, kFontNameKey, defaults.fontName, record.fontName, sizeof record.fontName);
  // A long Japanese name cut to 31 bytes may end in half a character: no family has that name.
  CutToWholeCharacters(record.fontName, CP_ACP);
  const FontSizeRange offered = OfferedFontSizes(record.fontName);

  // Every value by its row's rule: a hand-edited file must not make the console allocate
  // gigabytes, wrap at column 0 or expand a tab without end, nor show an on/off setting as on in
  // the page while the console treats it as off.
  for (std::size_t i = 0; i < kRowCount; ++i) {
    const Row& row = kRows[i];
    if (row.number) {
      record.*row.number =
          NumberFromFile(row, ReadSettingInt(kSection, row.key, NumberDefault(row)), offered.low, offered.high);
    } else if (row.colour) {
      const bool dark = darkColourDefaults && !SettingPresent(kSection, row.key);
      const uint32_t fallback = dark ? DarkColourDefault(row) : ColourDefault(row);
      record.*row.colour = ColourFromFile(static_cast<uint32_t>(ReadSettingInt(kSection, row.key, static_cast<int32_t>(fallback))));
    }
  }
}
