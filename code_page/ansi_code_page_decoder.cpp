// AnsiCodePageDecoder: MultiByteToWideChar with MB_ERR_INVALID_CHARS on its code page.
#include "code_page/ansi_code_page_decoder.h"

#include <climits>

namespace code_page {

AnsiCodePageDecoder::AnsiCodePageDecoder(UINT codePage) : codePage_(codePage) {
  CPINFO info = {};
  if (GetCPInfo(codePage_, &info) && info.MaxCharSize > 0) maxCharBytes_ = info.MaxCharSize;
}

bool AnsiCodePageDecoder::Decode(const char* bytes, std::size_t length, std::u16string& out) const {
  out.clear();
  if (length == 0) return true;
  if (length > INT_MAX / 2) return false;  // MultiByteToWideChar counts in int
  const int size = static_cast<int>(length);
  // Without MB_ERR_INVALID_CHARS an invalid byte would turn into the code page's default
  // character silently; with it the whole call fails and the caller finds the byte.
  const int units = MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, bytes, size, nullptr, 0);
  if (units <= 0) return false;
  out.resize(static_cast<std::size_t>(units));
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 code units");
  return MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, bytes, size, reinterpret_cast<wchar_t*>(&out[0]),
                             units) == units;
}

}  // namespace code_page
