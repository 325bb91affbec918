// AnsiCodePageDecoder: the CodePageDecoder of the running system's ANSI code page (CP_ACP), or of another.
#pragma once

#include <windows.h>

#include "code_page/code_page_decoder.h"

namespace code_page {

class AnsiCodePageDecoder final : public CodePageDecoder {
 public:
  // The ANSI code page, or another (UTF-8, for a sender that says its ANSI code page is that).
  explicit AnsiCodePageDecoder(UINT codePage = CP_ACP);
  bool Decode(const char* bytes, std::size_t length, std::u16string& out) const override;
  std::size_t MaxCharBytes() const override { return maxCharBytes_; }

 private:
  UINT codePage_;
  std::size_t maxCharBytes_ = 2;
};

}  // namespace code_page
