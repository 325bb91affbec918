// The values after a format, read from the caller's va_list in the order the format takes them.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "client/format_arguments.h"

namespace tellit {

class VaListArguments final : public FormatArguments {
 public:
  explicit VaListArguments(va_list list) noexcept { va_copy(list_, list); }
  ~VaListArguments() { va_end(list_); }
  VaListArguments(const VaListArguments&) = delete;
  VaListArguments& operator=(const VaListArguments&) = delete;

  std::int32_t NextInt32() override { return va_arg(list_, std::int32_t); }
  std::int64_t NextInt64() override { return va_arg(list_, std::int64_t); }
  std::uint64_t NextUInt64() override { return va_arg(list_, std::uint64_t); }
  double NextDouble() override { return va_arg(list_, double); }
  // The long double of the compiler that builds the library: 80 bits with MinGW, a double with MSVC.
  double NextLongDouble() override { return static_cast<double>(va_arg(list_, long double)); }
  const void* NextPointer() override { return va_arg(list_, const void*); }
  const void* NextCountPointer() override { return va_arg(list_, const void*); }
  int NextFieldValue() override { return va_arg(list_, int); }
  const char* NextNarrowString() override { return va_arg(list_, const char*); }
  const wchar_t* NextWideString() override { return va_arg(list_, const wchar_t*); }

 private:
  va_list list_;
};

}  // namespace tellit
