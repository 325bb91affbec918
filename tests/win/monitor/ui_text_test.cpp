// The user-visible texts of the string tables: every identifier has a Japanese and an English
// copy, fits the buffers the code gives it, keeps its printf directives in both languages, and
// reads in the language asked for, converted as AnsiText converts.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "dialogs/ansi_text.h"
#include "monitor/common/ui_text.h"
#include "resource_ids.h"

namespace {

static_assert(IDS_TEXT_COUNT <= IDS_ENGLISH_BASE - IDS_JAPANESE_BASE, "the Japanese texts would reach the English");

constexpr Language kLanguages[] = {Language::kJapanese, Language::kEnglish};

// A table entry as stored (UTF-16), whatever the ANSI code page; empty when there is none.
std::wstring StoredText(int resource) {
  const wchar_t* text = nullptr;
  // With no buffer, LoadStringW hands out the read-only text itself.
  const int length =
      LoadStringW(GetModuleHandleA(nullptr), static_cast<UINT>(resource), reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::string Loaded(Language language, int text) {
  char out[kUiTextSize];
  const int length = LoadUiText(language, text, out);
  EXPECT_EQ(length, static_cast<int>(std::strlen(out))) << "text " << text;
  return out;
}

// The printf directives of a pattern in order ("%s", "%lu", ...); "%%" is no directive.
std::vector<std::wstring> Directives(const std::wstring& text) {
  std::vector<std::wstring> found;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] != L'%') continue;
    size_t end = at + 1;
    while (end < text.size() && !std::wcschr(L"diouxXeEfFgGaAcspn%", text[end])) ++end;
    if (end < text.size() && end == at + 1 && text[end] == L'%') {
      at = end;
      continue;
    }
    found.push_back(text.substr(at, end - at + 1));
    at = end;
  }
  return found;
}

TEST(UiText, EveryIdentifierHasAJapaneseAndAnEnglishText) {
  for (int text = 0; text < IDS_TEXT_COUNT; ++text) {
    EXPECT_FALSE(StoredText(JAPANESE_TEXT(text)).empty()) << "Japanese text " << text;
    EXPECT_FALSE(StoredText(ENGLISH_TEXT(text)).empty()) << "English text " << text;
    for (Language language : kLanguages) {
      EXPECT_NE(Loaded(language, text), "") << "text " << text << " in language " << static_cast<int>(language);
    }
  }
}

// A text added past the last identifier would escape every walk over the identifiers.
TEST(UiText, TheTablesHoldNothingPastTheLastIdentifier) {
  for (int text = IDS_TEXT_COUNT; text < IDS_ENGLISH_BASE - IDS_JAPANESE_BASE; ++text) {
    EXPECT_EQ(StoredText(JAPANESE_TEXT(text)), L"") << "Japanese text " << text;
    EXPECT_EQ(StoredText(ENGLISH_TEXT(text)), L"") << "English text " << text;
  }
}

// The code hands the patterns to snprintf with its own arguments: both copies must take the
// same ones, and a text the code shows as it is must take none.
TEST(UiText, PatternsTakeTheSameArgumentsInBothLanguages) {
  const struct {
    int text;
    std::vector<std::wstring> directives;
  } patterns[] = {
      {IDS_VERSION_FORMAT, {L"%s"}},
      {IDS_STATUS_COUNT, {L"%s"}},
      {IDS_STATUS_RATE, {L"%s"}},
      {IDS_STATUS_LOG, {L"%s"}},
      {IDS_FIND_NOT_FOUND, {L"%s"}},
      {IDS_LOG_CANNOT_OPEN, {L"%s"}},
      {IDS_LOG_OVERWRITE, {L"%s"}},
      {IDS_TROUBLE_DEBUG_OUTPUT_FAILED, {L"%s"}},
      {IDS_TROUBLE_LOG_STOPPED, {L"%s", L"%s"}},
      {IDS_SETTINGS_NOT_SAVED, {L"%s"}},
      {IDS_TROUBLE_LOG_NOT_ROTATED, {L"%s", L"%s"}},
      {IDS_CONSOLE_MEMORY_SHORT, {L"%u", L"%u"}},
      {IDS_STATUS_COUNT_HIDDEN, {L"%s", L"%s", L"%s"}},
      {IDS_FILTER_RULES_UNREADABLE, {L"%s"}},
      {IDS_VIEW_NAME, {L"%u"}},
      {IDS_VIEW_PROCESS_NAME, {L"%s"}},
      {IDS_VIEW_SECTIONS_BROKEN, {L"%s"}},
      {IDS_FILE_CANNOT_OPEN, {L"%s", L"%lu"}},
      {IDS_FILE_BINARY, {L"%s"}},
      {IDS_FILE_MALFORMED, {L"%s", L"%u"}},
      {IDS_FILE_LINE_CUT, {L"%s", L"%u"}},
      {IDS_FILE_TRUNCATED, {L"%s"}},
      {IDS_FILE_ROTATED, {L"%s"}},
      {IDS_FILE_READ_FAILED, {L"%s", L"%lu"}},
      {IDS_FILE_STATUS_READING, {L"%s", L"%u"}},
      {IDS_FILE_STATUS_READ, {L"%s", L"%u"}},
      {IDS_FILE_STATUS_FOLLOWING, {L"%s", L"%u"}},
      {IDS_FILE_STATUS_FRONT_LEFT, {L"%s", L"%u", L"%u"}},
      {IDS_FILE_CANNOT_SAVE, {L"%s", L"%lu"}},
  };
  for (int text = 0; text < IDS_TEXT_COUNT; ++text) {
    std::vector<std::wstring> expected;
    for (const auto& pattern : patterns) {
      if (pattern.text == text) expected = pattern.directives;
    }
    EXPECT_EQ(Directives(StoredText(JAPANESE_TEXT(text))), expected) << "Japanese text " << text;
    EXPECT_EQ(Directives(StoredText(ENGLISH_TEXT(text))), expected) << "English text " << text;
  }
}

TEST(UiText, DirectivesAreFoundWithTheirFlagsAndEscapedPercentSignsAreNot) {
  EXPECT_EQ(Directives(L"100%% of %-5lu and %s"), (std::vector<std::wstring>{L"%-5lu", L"%s"}));
  EXPECT_EQ(Directives(L"no pattern"), std::vector<std::wstring>{});
  EXPECT_EQ(Directives(L"cut %"), std::vector<std::wstring>{L"%"});
}

// Two bytes a character at most in a double-byte code page, and the NUL: no text is ever cut.
TEST(UiText, EveryTextFitsTheBufferTheCodeGivesIt) {
  for (int text = 0; text < IDS_TEXT_COUNT; ++text) {
    for (int resource : {JAPANESE_TEXT(text), ENGLISH_TEXT(text)}) {
      EXPECT_LE(2 * StoredText(resource).size() + 1, static_cast<size_t>(kUiTextSize)) << "resource " << resource;
    }
  }
}

// The bytes the user sees are those the wide literals gave through AnsiText before the tables.
TEST(UiText, LoadsTheBytesAnsiTextGivesForTheStoredText) {
  for (int text = 0; text < IDS_TEXT_COUNT; ++text) {
    for (Language language : kLanguages) {
      char expected[kUiTextSize];
      AnsiText(StoredText(UiTextResourceId(text, language)).c_str(), expected);
      EXPECT_EQ(Loaded(language, text), expected) << "text " << text;
    }
  }
}

TEST(UiText, ReadsTheLanguageAskedForAndEnglishForAnyValueButJapanese) {
  char copy[kUiTextSize];
  AnsiText(L"コピー", copy);
  EXPECT_EQ(Loaded(Language::kJapanese, IDS_TIP_COPY), copy);
  EXPECT_EQ(Loaded(Language::kEnglish, IDS_TIP_COPY), "Copy");
  EXPECT_EQ(Loaded(Language::kUnchosen, IDS_TIP_COPY), "Copy");
  EXPECT_EQ(Loaded(static_cast<Language>(7), IDS_TIP_COPY), "Copy") << "a stored value that names no language";
  EXPECT_EQ(UiTextResourceId(IDS_TIP_COPY, Language::kJapanese), 3000 + IDS_TIP_COPY);
  EXPECT_EQ(UiTextResourceId(IDS_TIP_COPY, Language::kEnglish), 3100 + IDS_TIP_COPY);
}

TEST(UiText, TheShortFormReadsTheLanguageInForce) {
  const Language saved = language;
  char text[kUiTextSize];
  language = Language::kEnglish;
  LoadUiText(IDS_LANGUAGE_JAPANESE, text);
  EXPECT_STREQ(text, "Japanese");
  language = Language::kJapanese;
  LoadUiText(IDS_LANGUAGE_JAPANESE, text);
  char expected[kUiTextSize];
  AnsiText(L"日本語", expected);
  EXPECT_STREQ(text, expected);
  language = saved;
}

TEST(UiText, AMissingTextOrNoRoomGivesAnEmptyTerminatedText) {
  char text[kUiTextSize];
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(LoadUiText(Language::kEnglish, IDS_TEXT_COUNT, text), 0);
  EXPECT_STREQ(text, "");
  char one[1] = {'x'};
  EXPECT_EQ(LoadUiText(Language::kEnglish, IDS_TIP_COPY, one), 0);
  EXPECT_EQ(one[0], '\0');
  EXPECT_EQ(LoadUiText(Language::kEnglish, IDS_TIP_COPY, nullptr, 16), 0);
}

}  // namespace
