// UiText: the user-visible texts of the string tables (IDS_ identifiers), in the language in force.
#pragma once

#include "monitor/common/language.h"

// Room for every text of the tables with its NUL, in any ANSI code page (two bytes a character
// at most); a test holds each text to it.
constexpr int kUiTextSize = 512;

// The string table number of a text in the language: Japanese 30xx, and English 31xx for every
// other value, so that an unknown language reads English as the rest of the program does.
int UiTextResourceId(int text, Language language);

// Of a resource with a Japanese and an English copy (menu, dialog template), the one for the
// language in force: English for every value but Japanese, as for the texts.
inline int ResourceInLanguage(int japanese, int english) {
  return language == Language::kJapanese ? japanese : english;
}

// Loads the text from the program's string table into out, converted to the ANSI code page as
// LoadStringA does; always NUL-terminated. Returns the length; 0 and an empty out when there
// is no such text.
int LoadUiText(Language language, int text, char* out, int size);
// The same in the current language.
int LoadUiText(int text, char* out, int size);

template <int N>
int LoadUiText(Language language, int text, char (&out)[N]) {
  return LoadUiText(language, text, out, N);
}

template <int N>
int LoadUiText(int text, char (&out)[N]) {
  return LoadUiText(text, out, N);
}
