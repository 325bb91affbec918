// The line of the end-to-end tests that no ANSI code page holds whole: Greek, Japanese, an emoji
// (a surrogate pair) and Cyrillic, and its UTF-8 form as the system converts it.
#pragma once

#include <windows.h>

#include <string>

inline constexpr wchar_t kUnicodeLine[] =
    L"Greek \u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC, Japanese \u65E5\u672C\u8A9E, emoji \U0001F600, "
    L"Cyrillic \u041A\u0438\u0440\u0438\u043B\u043B\u0438\u0446\u0430\n";

inline std::string InCodePage(UINT codePage, const std::wstring& wide) {
  const int need = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(need > 0 ? need : 0), '\0');
  if (need > 0) WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &out[0], need, nullptr, nullptr);
  return out;
}

inline std::wstring FromCodePage(UINT codePage, const std::string& bytes) {
  const int need = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(need > 0 ? need : 0), L'\0');
  if (need > 0) MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], need);
  return out;
}
