// AnsiCodePageDecoder: the CodePageDecoder of the running system's ANSI code page (CP_ACP).
#pragma once

#include <windows.h>

#include "capture/code_page_decoder.h"

namespace capture {

class AnsiCodePageDecoder final : public CodePageDecoder {
 public:
  AnsiCodePageDecoder();
  bool Decode(const char* bytes, std::size_t length, std::u16string& out) const override;
  std::size_t MaxCharBytes() const override { return maxCharBytes_; }

 private:
  std::size_t maxCharBytes_ = 2;
};

}  // namespace capture
