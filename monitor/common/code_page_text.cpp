// UTF-8 and the ANSI code page through the system's conversions.
#include "monitor/common/code_page_text.h"

#include <windows.h>

#include <vector>

namespace {

void Convert(UINT from, UINT to, std::string_view text, std::string& out) {
  if (text.empty()) return;
  const int length = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(from, 0, text.data(), length, nullptr, 0);
  if (wide <= 0) return;
  std::vector<wchar_t> characters(static_cast<size_t>(wide));
  MultiByteToWideChar(from, 0, text.data(), length, characters.data(), wide);
  const int bytes = WideCharToMultiByte(to, 0, characters.data(), wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return;
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(bytes));
  WideCharToMultiByte(to, 0, characters.data(), wide, &out[start], bytes, nullptr, nullptr);
}

}  // namespace

void Utf8ToAnsiText(std::string_view utf8, std::string& out) { Convert(CP_UTF8, CP_ACP, utf8, out); }
void AnsiToUtf8Text(std::string_view ansi, std::string& out) { Convert(CP_ACP, CP_UTF8, ansi, out); }
