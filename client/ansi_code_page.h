// Conversion of string arguments through the ANSI code page, and cuts of ANSI text on character boundaries.
#pragma once

#include <windows.h>

#include <cstddef>

#include "client/format_arguments.h"

namespace tellit {

// The code page tellitwf's own text is sent in, so a %ls in tellitf and a %hs or %S in tellitwf
// come out as that text would, whatever locale the C runtime was given.
class AnsiCodePage final : public TextConversion {
 public:
  AnsiCodePage() noexcept : codePage_(GetACP()) {}
  // Another code page in the same role: UTF-8 for tellitu8f's wide arguments.
  explicit AnsiCodePage(UINT codePage) noexcept : codePage_(codePage) {}

  UINT codePage() const noexcept { return codePage_; }
  bool IsUtf8() const noexcept { return codePage_ == CP_UTF8; }

  Converted ToNarrow(const wchar_t* text, char* out, std::size_t room) noexcept override;
  Converted ToWide(const char* text, wchar_t* out, std::size_t room) noexcept override;

  // How many of the first `length` bytes of `text` form whole characters: a cut keeps no lead
  // byte without its trail byte, and no part of a UTF-8 sequence.
  std::size_t WholeCharacters(const char* text, std::size_t length) const noexcept;

  // Whether the `bytes` of `narrow` convert back to the first `matched` of the `units` of `wide`,
  // exactly: with all of them the ANSI text says all there is, and no exact-text block need go with
  // it; with fewer, it is an exact start.
  bool GivesBack(const char* narrow, std::size_t bytes, const wchar_t* wide, std::size_t units,
                 std::size_t& matched) const noexcept;
  // The bytes `units` wide units convert to (the system's count); 0 when it fails.
  std::size_t NarrowBytes(const wchar_t* wide, std::size_t units) const noexcept;

 private:
  std::size_t CharacterBytes(const char* text, std::size_t available) const noexcept;

  UINT codePage_;
};

}  // namespace tellit
