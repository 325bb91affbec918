// Sizing of the client's text buffers and the formatting step that runs on them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>

#include "channel/channel.h"
#include "channel/exact_text.h"
#include "channel/sender_trailer.h"
#include "client/format_engine.h"

namespace tellit {

inline constexpr std::uint32_t kFirstTextCapacity = 4096;  // bytes
inline constexpr std::uint32_t kFirstWideCapacity = 4096;  // wide characters
inline constexpr std::uint64_t kNeedPerFormatCharacter = 16;

// The longest text buffer, in characters with the NUL: with the sender trailer after it the
// datagram is as long as the monitor receives, and every wide character converts to at least one
// byte, so neither buffer grows beyond it.
inline constexpr std::uint32_t kLargestText = channel::kReceiveCeiling - channel::kTrailerBytes;
// The narrow buffer has room for the trailer beyond its capacity, so a datagram leaves in one write,
// and for an exact-text footer without text, which tellitf's text may need (UTF-8 as the ANSI code
// page) without a new buffer.
inline constexpr std::size_t kTextReserve = channel::kTrailerBytes + channel::kExactFooterBytes;

inline std::uint64_t UpToLargestText(std::uint64_t need) noexcept { return need < kLargestText ? need : kLargestText; }

// Buffer characters a format of `formatLength` characters asks for.
inline std::uint64_t FormatNeed(std::size_t formatLength) noexcept {
  return static_cast<std::uint64_t>(formatLength) * kNeedPerFormatCharacter;
}

// Bytes the conversion of `wideLength` wide characters to the ANSI code page asks for: two per
// character (double-byte code pages) and one for the NUL, which must always fit.
inline std::uint64_t NarrowNeed(std::uint32_t wideLength) noexcept {
  return 2 * static_cast<std::uint64_t>(wideLength) + 1;
}

// Bytes the text, its NUL and its exact-text block take at most, for `wideLength` wide units of which
// some are no ASCII: in UTF-8 as the ANSI code page three bytes per unit and the footer alone (the
// text is exact as it stands); else two per unit, and the UTF-8 copy of three per unit (a surrogate
// pair takes four) with its footer.
inline std::uint64_t ExactTextNeed(std::uint32_t wideLength, bool ansiIsUtf8) noexcept {
  const std::uint64_t units = wideLength;
  return ansiIsUtf8 ? 3 * units + 1 + channel::kExactFooterBytes
                    : 2 * units + 1 + 3 * units + channel::kExactFooterBytes;
}

// The share of `length` units whose need would fit in `room`, when all of them need `need`, which
// is more than `room`: always fewer units than before, so that a caller that cuts until it fits ends.
inline std::uint32_t ShareThatFits(std::uint32_t length, std::uint64_t need, std::uint64_t room) noexcept {
  const std::uint64_t share = static_cast<std::uint64_t>(length) * room / need;
  return share < length ? static_cast<std::uint32_t>(share) : (length > 0 ? length - 1 : 0);
}

// A buffer smaller than `need` is released and replaced whole by one of exactly `need`
// characters (and `reserve` more, beyond its capacity); it never shrinks and its old contents are
// not kept. Returns whether a buffer with a capacity above 0 exists afterwards; without one the
// capacity is 0.
template <typename Char>
bool EnsureCapacity(std::unique_ptr<Char[]>& buffer, std::uint32_t& capacity, std::uint64_t need,
                    std::size_t reserve = 0) noexcept {
  if (capacity < need) {
    buffer.reset();
    capacity = 0;
    const bool representable = need <= std::numeric_limits<std::uint32_t>::max() &&
                               need + reserve <= std::numeric_limits<std::size_t>::max() / sizeof(Char);
    if (representable) {
      buffer.reset(new (std::nothrow) Char[static_cast<std::size_t>(need + reserve)]);
      if (buffer) capacity = static_cast<std::uint32_t>(need);
    }
  }
  if (!buffer) capacity = 0;
  return buffer && capacity > 0;
}

template <typename Char>
std::size_t FormatLength(const Char* format) noexcept {
  std::size_t n = 0;
  while (format[n] != Char{}) ++n;
  return n;
}

// Grows the buffer for the format (up to kLargestText), then formats into it; `formatted` is
// false when there is no buffer to format into (an allocation failed).
struct FormattedText {
  bool formatted;
  FormatOutcome outcome;
};

template <typename Char>
FormattedText FormatIntoBuffer(const Char* format, std::unique_ptr<Char[]>& buffer, std::uint32_t& capacity,
                               FormatArguments& arguments, TextConversion& conversion,
                               std::size_t reserve = 0) noexcept {
  if (!EnsureCapacity(buffer, capacity, UpToLargestText(FormatNeed(FormatLength(format))), reserve)) {
    return FormattedText{false, {0, false}};
  }
  const auto usable = static_cast<std::uint32_t>(UpToLargestText(capacity));
  return FormattedText{true, FormatText(format, buffer.get(), usable, arguments, conversion)};
}

// The length of wide text cut at `length` without the first half of a surrogate pair.
inline std::uint32_t WholeWideLength(const wchar_t* text, std::uint32_t length) noexcept {
  const bool halfPair = length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF;
  return halfPair ? length - 1 : length;
}

}  // namespace tellit
