// Language: the user-interface language, as the settings file stores it ("system", "language").
#pragma once

// The enumerators are the numbers the settings file holds. A Language keeps whatever number the
// file gave, also one without a name (the underlying type is fixed, so every int is a value):
// such a value shows the English user interface, asks no question at start-up (only kUnchosen
// does) and selects nothing in the language dialog, whose OK without a choice stores English.
enum class Language : int {
  kUnchosen = -1,  // no language stored yet: the language dialog comes at start-up
  kEnglish = 0,
  kJapanese = 1,
};

// The process-wide user-interface language, read from the settings at start-up and changed by
// the language dialog; every text shown from then on follows it.
extern Language language;

// The language the user's locale suggests: Japanese for 0x0411, else English.
Language DetectLanguage();

// The number the settings file holds for the language and back; both keep any value unchanged.
constexpr int LanguageSetting(Language language) { return static_cast<int>(language); }
constexpr Language LanguageFromSetting(int value) { return static_cast<Language>(value); }
