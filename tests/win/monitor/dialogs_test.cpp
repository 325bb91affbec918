// The language dialog and the About box, run modally and driven from inside their loops.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "monitor/app/about_dialog.h"
#include "monitor/app/monitor_app.h"
#include "monitor/settings/settings_file.h"
#include "resource_ids.h"
#include "support/dialog_driver.h"
#include "support/scratch_dir.h"

namespace {

class LanguageDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedLanguage_ = language;
    std::strcpy(settingsPath, dir_.File("vigilo.ini").c_str());
  }
  void TearDown() override {
    language = savedLanguage_;
    settingsPath[0] = '\0';
  }
  std::string StoredLanguage() const {
    char text[16] = "";
    GetPrivateProfileStringA("system", "language", "(none)", text, sizeof text, settingsPath);
    return text;
  }

  ScratchDir dir_;
  Language savedLanguage_ = Language::kEnglish;
  MonitorApp app;  // as at the first start: no main window to own the dialog
};

std::string ComboText(HWND combo, int index) {
  char text[64] = "";
  SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return text;
}

TEST_F(LanguageDialogTest, FirstStartOffersTheDetectedLanguageAndOkStoresTheChoice) {
  language = Language::kUnchosen;
  int selectedAtOpen = -2;
  std::string caption, first, second;
  DialogDriver driver([&](HWND dialog) {
    char text[64];
    GetWindowTextA(dialog, text, sizeof text);
    caption = text;
    const HWND combo = GetDlgItem(dialog, IDC_LANGUAGE_COMBO);
    selectedAtOpen = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    first = ComboText(combo, 0);
    second = ComboText(combo, 1);
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  app.ChooseLanguage();
  ASSERT_TRUE(driver.ran());
  const Language detected = DetectLanguage();
  EXPECT_EQ(detected, GetUserDefaultLangID() == 0x0411 ? Language::kJapanese : Language::kEnglish);
  EXPECT_EQ(selectedAtOpen, static_cast<int>(detected));
  if (detected == Language::kEnglish) {
    EXPECT_EQ(caption, "Choose Language");
    EXPECT_EQ(first, "English");
    EXPECT_EQ(second, "Japanese");
  }
  EXPECT_EQ(language, Language::kJapanese) << "the item data of the chosen entry";
  EXPECT_EQ(StoredLanguage(), "1");
}

TEST_F(LanguageDialogTest, CancelKeepsTheLanguageAndWritesNothing) {
  language = Language::kUnchosen;
  DialogDriver driver([](HWND dialog) {
    SendMessageA(GetDlgItem(dialog, IDC_LANGUAGE_COMBO), CB_SETCURSEL, 1, 0);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  app.ChooseLanguage();
  ASSERT_TRUE(driver.ran());
  EXPECT_EQ(language, DetectLanguage()) << "the detected default holds for this run";
  EXPECT_EQ(StoredLanguage(), "(none)");
  EXPECT_EQ(GetFileAttributesA(settingsPath), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LanguageDialogTest, UnusualStoredValueSelectsNothingAndOkStoresEnglish) {
  language = static_cast<Language>(7);
  int selectedAtOpen = -2;
  DialogDriver driver([&](HWND dialog) {
    selectedAtOpen = static_cast<int>(SendMessageA(GetDlgItem(dialog, IDC_LANGUAGE_COMBO), CB_GETCURSEL, 0, 0));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  app.ChooseLanguage();
  ASSERT_TRUE(driver.ran());
  EXPECT_EQ(selectedAtOpen, CB_ERR);
  EXPECT_EQ(language, Language::kEnglish);
  EXPECT_EQ(StoredLanguage(), "0");
}

TEST_F(LanguageDialogTest, JapaneseDialogListsEnglishFirstAndKeepsAChoiceOfEnglish) {
  language = Language::kJapanese;
  int selectedAtOpen = -2;
  char caption[64] = "";
  DialogDriver driver([&](HWND dialog) {
    GetWindowTextA(dialog, caption, sizeof caption);
    const HWND combo = GetDlgItem(dialog, IDC_LANGUAGE_COMBO);
    selectedAtOpen = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  app.ChooseLanguage();
  ASSERT_TRUE(driver.ran());
  EXPECT_EQ(selectedAtOpen, 1);
  EXPECT_STRNE(caption, "Choose Language") << "the Japanese template 2004";
  EXPECT_EQ(language, Language::kEnglish);
  EXPECT_EQ(StoredLanguage(), "0");
}

INT_PTR RunAbout(int resource, std::string* version, UINT command) {
  AboutDialog dialog;
  DialogDriver driver([&](HWND window) {
    char text[64] = "";
    GetDlgItemTextA(window, IDC_VERSION_LABEL, text, sizeof text);
    *version = text;
    PostMessageA(window, WM_COMMAND, command, 0);
  });
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), nullptr, XDialog::DialogProc,
                         reinterpret_cast<LPARAM>(&dialog));
}

TEST(AboutBox, ShowsVersion110InBothLanguagesAndEndsWithOkOrEscape) {
  for (int resource : {IDD_ABOUT_JA, IDD_ABOUT_EN}) {
    std::string version;
    EXPECT_EQ(RunAbout(resource, &version, IDOK), IDOK);
    EXPECT_EQ(version, "Version 1.10") << resource;
    EXPECT_EQ(RunAbout(resource, &version, IDCANCEL), IDCANCEL);
  }
}

// The close box reaches a dialog as SC_CLOSE, which the dialog manager turns into IDCANCEL.
void PressCloseBox(HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

TEST(AboutBox, TheCloseBoxEndsItLikeCancel) {
  for (int resource : {IDD_ABOUT_JA, IDD_ABOUT_EN}) {
    AboutDialog dialog;
    DialogDriver driver(PressCloseBox);
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), nullptr,
                              XDialog::DialogProc, reinterpret_cast<LPARAM>(&dialog)),
              IDCANCEL)
        << resource;
    EXPECT_TRUE(driver.ran());
  }
}

TEST_F(LanguageDialogTest, TheCloseBoxCancelsAndWritesNothing) {
  language = Language::kEnglish;
  DialogDriver driver([](HWND dialog) {
    SendMessageA(GetDlgItem(dialog, IDC_LANGUAGE_COMBO), CB_SETCURSEL, 1, 0);
    PressCloseBox(dialog);
  });
  app.ChooseLanguage();
  ASSERT_TRUE(driver.ran());
  EXPECT_EQ(language, Language::kEnglish) << "the entry picked before closing is not taken";
  EXPECT_EQ(StoredLanguage(), "(none)");
}

}  // namespace
