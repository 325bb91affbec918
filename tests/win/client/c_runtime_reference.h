// The Universal C Runtime's snprintf, loaded from the system: the reference for what tellitf and tellitwf print.
//
// msvcrt.dll, which MinGW programs import, still prints the forms of the old Microsoft runtime
// (three exponent digits as in "1e+010", "1.#INF00"); the Universal C Runtime, which programs of
// every current Windows compiler use, prints the C99 forms the library follows. Where it differs
// from C99 (%a keeps trailing zeros, and Wine's copy ignores hh and rounds halves up), the tests
// name the C99 text instead.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <string>

namespace tellit::testing {

class CRuntimeReference {
 public:
  CRuntimeReference() : module_(LoadLibraryA("ucrtbase.dll")) {
    if (!module_) return;
    narrow_ = reinterpret_cast<NarrowPrint>(
        reinterpret_cast<void*>(GetProcAddress(module_, "__stdio_common_vsprintf")));
    wide_ = reinterpret_cast<WidePrint>(reinterpret_cast<void*>(GetProcAddress(module_, "__stdio_common_vswprintf")));
  }
  ~CRuntimeReference() {
    if (module_) FreeLibrary(module_);
  }
  CRuntimeReference(const CRuntimeReference&) = delete;
  CRuntimeReference& operator=(const CRuntimeReference&) = delete;

  bool loaded() const { return narrow_ && wide_; }

  std::string Format(const char* format, ...) {
    char text[2048];
    va_list list;
    va_start(list, format);
    const int n = narrow_(kStandardSnprintf, text, sizeof text, format, nullptr, list);
    va_end(list);
    return n < 0 ? std::string("<the C runtime failed>") : std::string(text);
  }

  // As the Windows wide functions read a format (%s wide, %hs and %S narrow).
  std::wstring FormatWide(const wchar_t* format, ...) {
    wchar_t text[2048];
    va_list list;
    va_start(list, format);
    const int n = wide_(kStandardSnprintf | kLegacyWideSpecifiers, text, sizeof text / sizeof text[0], format,
                        nullptr, list);
    va_end(list);
    return n < 0 ? std::wstring(L"<the C runtime failed>") : std::wstring(text);
  }

 private:
  // _CRT_INTERNAL_PRINTF_STANDARD_SNPRINTF_BEHAVIOR and _CRT_INTERNAL_PRINTF_LEGACY_WIDE_SPECIFIERS.
  static constexpr std::uint64_t kStandardSnprintf = 0x2;
  static constexpr std::uint64_t kLegacyWideSpecifiers = 0x4;
  using NarrowPrint = int(__cdecl*)(std::uint64_t, char*, size_t, const char*, void*, va_list);
  using WidePrint = int(__cdecl*)(std::uint64_t, wchar_t*, size_t, const wchar_t*, void*, va_list);

  HMODULE module_;
  NarrowPrint narrow_ = nullptr;
  WidePrint wide_ = nullptr;
};

}  // namespace tellit::testing
