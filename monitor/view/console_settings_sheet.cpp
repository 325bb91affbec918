// VGL_Console::OpenSettingsSheet: runs the console settings sheet and applies what it wrote.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <cstdio>

#include "monitor/settings/console_config_page.h"
#include "monitor/resources/log_settings_ids.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings/settings_file.h"
#include "monitor/settings/settings_sheet_compare.h"
#include "monitor/common/ui_text.h"
#include "monitor/view/vgl_console.h"

void VGL_Console::OpenSettingsSheet(HWND owner) {
  ConsoleSettings working;
  ReadConsoleSettings(working);
  // Choices that could not be saved live only in the running console: the sheet starts there.
  if (settingsUnsaved) working = settings;
  ConsoleConfigPage1 page(owner, &working);

  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
  PROPSHEETPAGEA pageDescription = {};
  pageDescription.dwSize = sizeof pageDescription;
  pageDescription.dwFlags = PSP_DEFAULT;  // the template's caption is the tab label
  pageDescription.hInstance = instance;
  pageDescription.pszTemplate =
      MAKEINTRESOURCEA(ResourceInLanguage(IDD_CONSOLE_CONFIG_JA, IDD_CONSOLE_CONFIG_EN));
  pageDescription.pfnDlgProc = XPropPage::DialogProc;
  pageDescription.lParam = reinterpret_cast<LPARAM>(&page);
  HPROPSHEETPAGE pageHandle = CreatePropertySheetPageA(&pageDescription);

  if (pageHandle) {
    char caption[kUiTextSize];
    LoadUiText(IDS_SETTINGS_CAPTION, caption);
    PROPSHEETHEADERA sheet = {};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_NOAPPLYNOW;  // OK and Cancel only
    sheet.hwndParent = owner;
    sheet.hInstance = instance;
    sheet.pszCaption = caption;
    sheet.nPages = 1;
    sheet.nStartPage = 0;
    sheet.phpage = &pageHandle;
    // OK runs the page's OnApply, which updates the working copy and writes the file.
    PropertySheetA(&sheet);
  }

  if (page.applied && !page.saved) {
    // The file cannot hold them (a read-only folder, no settings path): the running console
    // takes the user's choices as they are, and the user learns once that they will not last.
    settingsUnsaved = true;
    if (SheetSettingsDiffer(working, settings)) {
      ApplySettings(working);
      TellIfShortOfMemory(parentWindow);
    }
      TellSettingsNotSaved(owner);
      return;
  }
  if (page.applied) settingsUnsaved = false;
  if (settingsUnsaved) return;  // Cancel: the file does not hold what the console shows
  // Also after Cancel: the file may have been edited by hand since the console read it.
  if (!SheetSettingsDiffer(working, settings)) return;
  ConsoleSettings written;
  ReadConsoleSettings(written);
  ApplySettings(written);
  TellIfShortOfMemory(parentWindow);
}

void VGL_Console::TellIfShortOfMemory(HWND owner) {
  if (!text.shortOfMemory) return;
  text.shortOfMemory = false;  // told once
  char text_[kUiTextSize + 64];
  char pattern[kUiTextSize];
  LoadUiText(IDS_CONSOLE_MEMORY_SHORT, pattern);
  std::snprintf(text_, sizeof text_, pattern, unsigned(text.askedCapacity / 1024), unsigned(text.capacity / 1024));
  char caption[kUiTextSize];
  LoadUiText(IDS_PROGRAM_NAME, caption);
  MessageBoxA(owner, text_, caption, MB_OK | MB_ICONWARNING);
}

void VGL_Console::TellSettingsNotSaved(HWND owner) {
  char text[kUiTextSize + MAX_PATH];
  char pattern[kUiTextSize];
  LoadUiText(IDS_SETTINGS_NOT_SAVED, pattern);
  std::snprintf(text, sizeof text, pattern, settingsPath[0] ? settingsPath : "vigilo.ini");
  char caption[kUiTextSize];
  LoadUiText(IDS_PROGRAM_NAME, caption);
  MessageBoxA(owner, text, caption, MB_OK | MB_ICONWARNING);
}
