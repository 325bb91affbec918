// libFuzzer target of the formatter engine: the format and every argument value come from the input.
//
// Input: byte 0 picks the capacity of the cut run, byte 1 whether the format is wide; the format
// runs to the first 0xFF byte, the bytes after it feed the arguments. Each input is formatted
// twice, into a large buffer and into a small exact-size one: the small one must hold a prefix of
// the large one and report an overflow exactly when the whole text does not fit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "client/format_engine.h"

namespace {

class InputArguments final : public tellit::FormatArguments {
 public:
  InputArguments(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {
    static const char* const kNarrow[] = {"", "text", "a longer string of text", "\x93\xfa\x96\x7b"};
    static const wchar_t* const kWide[] = {L"", L"wide", L"a longer wide string", L"\x65e5\x672c"};
    for (const char* s : kNarrow) narrow_.emplace_back(s);
    for (const wchar_t* s : kWide) wide_.emplace_back(s);
  }

  std::int32_t NextInt32() override { return static_cast<std::int32_t>(Bits(4)); }
  std::int64_t NextInt64() override { return static_cast<std::int64_t>(Bits(8)); }
  double NextDouble() override {
    const std::uint64_t bits = Bits(8);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  const char* NextNarrowString() override {
    const std::uint64_t pick = Bits(1) % (narrow_.size() + 1);
    return pick == narrow_.size() ? nullptr : narrow_[pick].c_str();
  }
  const wchar_t* NextWideString() override {
    const std::uint64_t pick = Bits(1) % (wide_.size() + 1);
    return pick == wide_.size() ? nullptr : wide_[pick].c_str();
  }

 private:
  std::uint64_t Bits(std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
      value = (value << 8) | (position_ < size_ ? data_[position_] : 0);
      ++position_;
    }
    return value;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
  std::vector<std::string> narrow_;
  std::vector<std::wstring> wide_;
};

template <typename Char>
void Check(const std::basic_string<Char>& format, const std::uint8_t* arguments, std::size_t argumentBytes,
           std::uint32_t smallCapacity) {
  constexpr std::uint32_t kLargeCapacity = 1 << 16;
  auto large = std::make_unique<Char[]>(kLargeCapacity);
  InputArguments largeArguments(arguments, argumentBytes);
  const tellit::FormatOutcome whole = tellit::FormatText(format.c_str(), large.get(), kLargeCapacity, largeArguments);
  if (whole.length >= kLargeCapacity || large[whole.length] != Char{}) std::abort();
  if (whole.overflowed) return;  // no reference to compare the cut run with

  auto small = std::make_unique<Char[]>(smallCapacity);
  InputArguments smallArguments(arguments, argumentBytes);
  const tellit::FormatOutcome cut = tellit::FormatText(format.c_str(), small.get(), smallCapacity, smallArguments);
  const std::uint32_t kept = whole.length < smallCapacity ? whole.length : smallCapacity - 1;
  if (cut.length != kept || small[cut.length] != Char{}) std::abort();
  if (std::memcmp(small.get(), large.get(), kept * sizeof(Char)) != 0) std::abort();
  if (cut.overflowed != (whole.length >= smallCapacity)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint32_t smallCapacity = 1 + data[0];
  const bool wide = data[1] & 1;
  data += 2;
  size -= 2;
  std::size_t formatEnd = 0;
  while (formatEnd < size && data[formatEnd] != 0xFF) ++formatEnd;
  const std::uint8_t* arguments = data + formatEnd + (formatEnd < size ? 1 : 0);
  const std::size_t argumentBytes = size - static_cast<std::size_t>(arguments - data);

  if (wide) {
    // Two input bytes per wide character, so any 16-bit unit can appear in the format.
    std::wstring format;
    for (std::size_t i = 0; i + 1 < formatEnd; i += 2) {
      const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
      if (unit == 0) break;
      format.push_back(unit);
    }
    Check(format, arguments, argumentBytes, smallCapacity);
  } else {
    std::string format(reinterpret_cast<const char*>(data), formatEnd);
    format.resize(std::strlen(format.c_str()));
    Check(format, arguments, argumentBytes, smallCapacity);
  }
  return 0;
}
