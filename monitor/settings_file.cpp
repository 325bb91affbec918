// The settings file vigilo.ini: keyed reads and writes, and the console settings loader.
#include "monitor/settings_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "monitor/ansi_path.h"
#include "monitor/font_chooser.h"
#include "monitor/monitor_app.h"
#include "monitor/settings_ranges.h"

namespace {

constexpr char kConsoleSection[] = "console";
constexpr char kDefaultFontName[] = "FixedSys";

uint32_t ReadColour(const char* key, uint32_t defaultValue) {
  return settings_ranges::ClampColour(
      static_cast<uint32_t>(ReadSettingInt(kConsoleSection, key, static_cast<int>(defaultValue))));
}

}  // namespace

int ReadSettingInt(const char* section, const char* key, int defaultValue) {
  if (settingsPath[0] == '\0') return defaultValue;
  // Read as text: the private-profile number reader takes "abc" for 0 and wraps values past
  // 32 bits, where the key's default is the sound reading.
  char text[24];
  const DWORD length = GetPrivateProfileStringA(section, key, "", text, sizeof text, settingsPath);
  if (length >= sizeof text - 1) return defaultValue;  // cut: longer than any 32-bit number
  return settings_ranges::ParseSettingInt(text, defaultValue);
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

void WriteSettingInt(const char* section, const char* key, int value) {
  if (settingsPath[0] == '\0') return;
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  WritePrivateProfileStringA(section, key, text, settingsPath);
}

void WriteSettingString(const char* section, const char* key, const char* value) {
  if (settingsPath[0] == '\0') return;
  WritePrivateProfileStringA(section, key, value, settingsPath);
}

void ReadConsoleSettings(ConsoleSettings& record) {
  using namespace settings_ranges;
  record.inputLine = 0;
  record.readOnly = 1;
  record.newlineMode = 2;
  record.maxLines = 10000;

  // Clamped to what the settings page can produce: a hand-edited file must not make the
  // console allocate gigabytes, wrap at column 0 or expand a tab without end, nor show an
  // on/off setting as on in the page while the console treats it as off.
  record.wrapColumn = ClampColumn(ReadSettingInt(kConsoleSection, "column", 80));
  record.bufferSize = ClampBufferKb(ReadSettingInt(kConsoleSection, "buffer size", 64)) * 1024;
  record.showVScroll = ClampFlag(ReadSettingInt(kConsoleSection, "v scroll bar", 1));
  record.showHScroll = ClampFlag(ReadSettingInt(kConsoleSection, "h scroll bar", 1));
  record.hexMode = ClampFlag(ReadSettingInt(kConsoleSection, "hex mode", 0));
  record.autoScroll = ClampFlag(ReadSettingInt(kConsoleSection, "auto scroll", 1));
  record.tabSize = ClampTabs(ReadSettingInt(kConsoleSection, "tabs", 4));

  ReadSettingString(kConsoleSection, "text font name", kDefaultFontName, record.fontName,
                    sizeof record.fontName);
  // A long Japanese name cut to 31 bytes may end in half a character: no family has that name.
  CutToWholeCharacters(record.fontName, CP_ACP);
  const FontSizeRange offered = OfferedFontSizes(record.fontName);
  record.fontSize =
      FontSizeOrDefault(ReadSettingInt(kConsoleSection, "text font size", kDefaultFontSize), offered.low, offered.high);

  record.normalText = ReadColour("console text 1", 0x000000);
  record.normalBack = ReadColour("console back 1", 0xFFFFFF);
  record.hexText = ReadColour("console text 2", 0x0000FF);
  record.hexBack = ReadColour("console back 2", 0xFFFFFF);
  record.selectText = ReadColour("console text 3", 0x000000);
  record.selectBack = ReadColour("console back 3", 0xFFFF00);

  record.inputText = 0xFF00FF;
  record.inputBack = 0xFFFFFF;
}
