// The settings file vigilo.ini: keyed reads and writes through the private-profile functions.
#pragma once

#include <windows.h>

#include <cstddef>

#include "console/console_settings.h"
#include "monitor/settings/settings_keys.h"

// Full path of vigilo.ini (current directory at start-up); every settings access is skipped while empty.
extern char settingsPath[MAX_PATH];

// Each is skipped (a read gives its default) while settingsPath is empty.
int ReadSettingInt(const char* section, const char* key, int defaultValue);
void ReadSettingString(const char* section, const char* key, const char* defaultValue,
                       char* buffer, std::size_t size);
// Both return false when nothing was written: no settings path, or a file that cannot be
// written (a read-only folder, a folder that went away).
bool WriteSettingInt(const char* section, const char* key, int value);  // "%d"
bool WriteSettingString(const char* section, const char* key, const char* value);

// While set (the system's app theme is dark), a colour that the file does not set takes its dark
// default; a colour key that is present is the user's choice and is kept either way.
extern bool darkColourDefaults;

// A key of the table, read by its rule (its default while the file has none), and written.
int ReadSetting(const settings_keys::Key& key);
bool WriteSetting(const settings_keys::Key& key, int value);
void ReadSettingText(const settings_keys::Key& key, char* buffer, std::size_t size);
bool WriteSettingText(const settings_keys::Key& key, const char* value);

// Whether the key is present in the section.
bool SettingPresent(const char* section, const char* key);

// Fills every field of the record from section "console" (clamped to the usable ranges).
void ReadConsoleSettings(ConsoleSettings& record);
