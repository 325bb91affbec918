// The user-interface language: detection from the locale, the language dialog and its setting.
#include <windows.h>

#include "dialogs/ansi_text.h"
#include "monitor/language_dialog.h"
#include "monitor/monitor_app.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings_file.h"

namespace {

constexpr LANGID kJapaneseJapan = 0x0411;

struct LanguageEntry {
  int value;
  const wchar_t* japanese;
  const wchar_t* english;
};

// English first, whatever the dialog's own language.
constexpr LanguageEntry kEntries[] = {
    {0, L"英語", L"English"},
    {1, L"日本語", L"Japanese"},
};

}  // namespace

int DetectLanguage() { return GetUserDefaultLangID() == kJapaneseJapan ? 1 : 0; }

void LanguageDialog::OnInitDialog() {
  languageCombo = GetDlgItem(hwnd, IDC_LANGUAGE_COMBO);
  SendMessageA(languageCombo, CB_RESETCONTENT, 0, 0);
  for (const LanguageEntry& entry : kEntries) {
    char text[32];
    AnsiText(language == 1 ? entry.japanese : entry.english, text);
    const LRESULT index = SendMessageA(languageCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0) SendMessageA(languageCombo, CB_SETITEMDATA, static_cast<WPARAM>(index), entry.value);
  }
  // A stored value other than 0 or 1 selects nothing (CB_SETCURSEL with -1 clears).
  SendMessageA(languageCombo, CB_SETCURSEL, language == 0 || language == 1 ? language : -1, 0);
}

void LanguageDialog::OnCommand(const DialogCommand& command) {
  switch (command.id) {
    case IDOK: {
      const LRESULT selected = SendMessageA(languageCombo, CB_GETCURSEL, 0, 0);
      language = selected == CB_ERR
                     ? 0
                     : static_cast<int>(SendMessageA(languageCombo, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
      End(1);
      break;
    }
    case IDCANCEL:
      End(0);
      break;
    default:
      break;
  }
}

void MonitorApp::ChooseLanguage() {
  if (language == -1) language = DetectLanguage();
  // At the first start there is no window yet: the dialog comes from the program's own module.
  const HINSTANCE instance = mainWindow
                                 ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE))
                                 : GetModuleHandleA(nullptr);
  LanguageDialog dialog;
  const INT_PTR answer =
      DialogBoxParamA(instance, MAKEINTRESOURCEA(language == 1 ? IDD_LANGUAGE_JA : IDD_LANGUAGE_EN),
                      mainWindow, XDialog::DialogProc, reinterpret_cast<LPARAM>(&dialog));
  if (answer <= 0) return;
  WriteSettingInt("system", "language", language);
}
