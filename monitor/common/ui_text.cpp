// UiText: picks a text's table number by the language and loads it from the program's module.
#include "monitor/common/ui_text.h"

#include <windows.h>

#include "monitor/resources/resource_ids.h"

Language language = Language::kJapanese;

int UiTextResourceId(int text, Language language) {
  return language == Language::kJapanese ? JAPANESE_TEXT(text) : ENGLISH_TEXT(text);
}

int LoadUiText(Language language, int text, char* out, int size) {
  if (!out || size <= 0) return 0;
  out[0] = '\0';  // LoadStringA leaves the buffer untouched when the text is missing
  const int length = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(UiTextResourceId(text, language)),
                                 out, size);
  if (length <= 0) {
    out[0] = '\0';
    return 0;
  }
  return length;
}

int LoadUiText(int text, char* out, int size) { return LoadUiText(language, text, out, size); }
