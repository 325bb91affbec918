// The user-interface language: detection from the locale, the language dialog and its setting.
#include <windows.h>

#include "monitor/app/language_dialog.h"
#include "monitor/app/monitor_app.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings/settings_file.h"
#include "monitor/common/ui_text.h"

namespace {

constexpr LANGID kJapaneseJapan = 0x0411;

struct LanguageEntry {
  Language value;
  int text;
};

// English first, whatever the dialog's own language: an entry's index is its setting's number.
constexpr LanguageEntry kEntries[] = {
    {Language::kEnglish, IDS_LANGUAGE_ENGLISH},
    {Language::kJapanese, IDS_LANGUAGE_JAPANESE},
};

}  // namespace

Language DetectLanguage() {
  return GetUserDefaultLangID() == kJapaneseJapan ? Language::kJapanese : Language::kEnglish;
}

void LanguageDialog::OnInitDialog() {
  languageCombo = GetDlgItem(hwnd, IDC_LANGUAGE_COMBO);
  SendMessageA(languageCombo, CB_RESETCONTENT, 0, 0);
  for (const LanguageEntry& entry : kEntries) {
    char text[kUiTextSize];
    LoadUiText(entry.text, text);
    const LRESULT index = SendMessageA(languageCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0) {
      SendMessageA(languageCombo, CB_SETITEMDATA, static_cast<WPARAM>(index), LanguageSetting(entry.value));
    }
  }
  // A stored value that names no language selects nothing (CB_SETCURSEL with -1 clears).
  const bool named = language == Language::kEnglish || language == Language::kJapanese;
  SendMessageA(languageCombo, CB_SETCURSEL, named ? LanguageSetting(language) : -1, 0);
}

void LanguageDialog::OnCommand(const DialogCommand& command) {
  switch (command.id) {
    case IDOK: {
      const LRESULT selected = SendMessageA(languageCombo, CB_GETCURSEL, 0, 0);
      language = selected == CB_ERR ? Language::kEnglish
                                    : LanguageFromSetting(static_cast<int>(SendMessageA(
                                          languageCombo, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0)));
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
  if (language == Language::kUnchosen) language = DetectLanguage();
  // At the first start there is no window yet: the dialog comes from the program's own module.
  const HINSTANCE instance = mainWindow
                                 ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE))
                                 : GetModuleHandleA(nullptr);
  LanguageDialog dialog;
  const INT_PTR answer =
      DialogBoxParamA(instance, MAKEINTRESOURCEA(ResourceInLanguage(IDD_LANGUAGE_JA, IDD_LANGUAGE_EN)),
                      mainWindow, XDialog::DialogProc, reinterpret_cast<LPARAM>(&dialog));
  if (answer <= 0) return;
  WriteSetting(settings_keys::kLanguage, LanguageSetting(language));
}
