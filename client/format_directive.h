// One directive of a format: its parts, and the argument it takes under a data model.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tellit {

// How %p prints a pointer: as the C library the engine is built with does (glibc: "0x1f",
// "(nil)"), or as the Windows C runtimes do (upper-case digits, zero-padded to the pointer's size).
enum class PointerForm { kCLibrary, kWindows };

// The sizes that differ between platforms, in bytes. The DLL runs under the model of the
// platform it is built for; tests also run the Windows models on the build machine.
struct DataModel {
  std::size_t longBytes;     // %l
  std::size_t pointerBytes;  // %z, %t, %I and %p
  std::size_t intmaxBytes;   // %j
  PointerForm pointerForm;
};

inline constexpr DataModel kWindows32Model{4, 4, 8, PointerForm::kWindows};
inline constexpr DataModel kWindows64Model{4, 8, 8, PointerForm::kWindows};
inline constexpr DataModel kPlatformModel{sizeof(long), sizeof(void*), sizeof(std::intmax_t),
#if defined(_WIN32)
                                          PointerForm::kWindows
#else
                                          PointerForm::kCLibrary
#endif
};

// A directive holds the percent sign, its flags, width, precision, length modifier and the
// conversion character: at most this many characters. A longer one comes out as written.
inline constexpr std::size_t kLongestDirective = 63;

// Widths and precisions above this make a directive come out as written: no message is that
// long, and it keeps each call of the C formatter cheap and below INT_MAX.
inline constexpr std::uint32_t kLargestField = 999999;

// hh h l ll j z t L, and the Windows ones I32 I64 I (pointer-sized).
enum class Length { kNone, kChar, kShort, kLong, kLongLong, kIntMax, kSize, kPtrDiff, kLongDouble, kInt32, kInt64, kPointer };

enum class FieldKind { kAbsent, kWritten, kStar };

struct Field {
  FieldKind kind;
  std::uint32_t value;  // as written; kLargestField + 1 stands for anything larger
};

struct DirectiveParts {
  bool wellFormed;  // "%[flags][width][.precision][length]conversion", in that order
  bool leftJustify, plus, space, alternate, zeroPad;
  Field width;
  Field precision;
  Length length;
  char conversion;    // the conversion character; 0 when the last character is none
  std::size_t stars;  // '*' in the directive, well formed or not
};

// What a directive takes from the argument list after its stars.
enum class ArgumentKind {
  kNone,
  kInt32,
  kUInt32,
  kInt64,
  kUInt64,
  kDouble,
  kLongDouble,
  kPointer,
  kCountPointer,
  kNarrowCharacter,
  kWideCharacter,
  kNarrowString,
  kWideString,
};

namespace detail {

template <typename Char>
constexpr Char Ch(char c) noexcept {
  return static_cast<Char>(c);
}

template <typename Char>
constexpr bool IsDigit(Char c) noexcept {
  return c >= Ch<Char>('0') && c <= Ch<Char>('9');
}

// A character that is no conversion yields 0.
template <typename Char>
constexpr char ConversionOf(Char c) noexcept {
  constexpr char kConversions[] = "diouxXcsfFeEgGaApnSC%";
  for (const char* k = kConversions; *k != '\0'; ++k) {
    if (c == Ch<Char>(*k)) return *k;
  }
  return '\0';
}

}  // namespace detail

// Characters that continue a directive; the first other character ends it.
template <typename Char>
constexpr bool IsDirectiveCharacter(Char c) noexcept {
  using detail::Ch;
  return detail::IsDigit(c) || c == Ch<Char>('-') || c == Ch<Char>('+') || c == Ch<Char>(' ') ||
         c == Ch<Char>('#') || c == Ch<Char>('.') || c == Ch<Char>('*') || c == Ch<Char>('h') ||
         c == Ch<Char>('l') || c == Ch<Char>('L') || c == Ch<Char>('j') || c == Ch<Char>('z') ||
         c == Ch<Char>('t') || c == Ch<Char>('I');
}

namespace detail {

// The length modifier at `text[i]`; advances `i` past it.
template <typename Char>
Length ReadLength(const Char* text, std::size_t end, std::size_t& i) noexcept {
  auto at = [&](std::size_t k, char c) { return i + k < end && text[i + k] == Ch<Char>(c); };
  if (at(0, 'h')) return at(1, 'h') ? (i += 2, Length::kChar) : (i += 1, Length::kShort);
  if (at(0, 'l')) {
    if (!at(1, 'l')) return i += 1, Length::kLong;
    // A longer run of l reads as ll, as it always has here ("%llld" is a 64-bit %d).
    for (i += 2; at(0, 'l'); ++i) {
    }
    return Length::kLongLong;
  }
  if (at(0, 'I')) {
    if (at(1, '3') && at(2, '2')) return i += 3, Length::kInt32;
    if (at(1, '6') && at(2, '4')) return i += 3, Length::kInt64;
    return i += 1, Length::kPointer;
  }
  if (at(0, 'j')) return i += 1, Length::kIntMax;
  if (at(0, 'z')) return i += 1, Length::kSize;
  if (at(0, 't')) return i += 1, Length::kPtrDiff;
  if (at(0, 'L')) return i += 1, Length::kLongDouble;
  return Length::kNone;
}

// The modifier written right before the conversion character of a directive that is not well
// formed: it still sizes the argument ("%l5lld" takes a 64-bit value), or every later argument
// would be read from the wrong place.
template <typename Char>
Length TrailingLength(const Char* text, std::size_t length) noexcept {
  const std::size_t last = length - 1;
  auto endsWith = [&](const char* suffix, std::size_t n) {
    if (last < n + 1) return false;  // keep the '%'
    for (std::size_t k = 0; k < n; ++k) {
      if (text[last - n + k] != Ch<Char>(suffix[k])) return false;
    }
    return true;
  };
  if (endsWith("I32", 3)) return Length::kInt32;
  if (endsWith("I64", 3)) return Length::kInt64;
  if (endsWith("hh", 2)) return Length::kChar;
  if (endsWith("ll", 2)) return Length::kLongLong;
  std::size_t i = last - 1;
  if (i == 0) return Length::kNone;
  const Length single = ReadLength(text, last, i);
  return i == last ? single : Length::kNone;
}

}  // namespace detail

// Parses a directive of `length` characters: '%', the directive characters, and the character
// that ended it.
template <typename Char>
DirectiveParts ParseDirective(const Char* text, std::size_t length) noexcept {
  using detail::Ch;
  DirectiveParts parts{false, false, false, false, false, false, {FieldKind::kAbsent, 0}, {FieldKind::kAbsent, 0},
                       Length::kNone, detail::ConversionOf(text[length - 1]), 0};
  const std::size_t last = length - 1;
  for (std::size_t k = 1; k < last; ++k) {
    if (text[k] == Ch<Char>('*')) ++parts.stars;
  }
  std::size_t i = 1;
  for (bool flag = true; flag && i < last; i += flag ? 1 : 0) {
    const Char c = text[i];
    bool* const setting = c == Ch<Char>('-')   ? &parts.leftJustify
                          : c == Ch<Char>('+') ? &parts.plus
                          : c == Ch<Char>(' ') ? &parts.space
                          : c == Ch<Char>('#') ? &parts.alternate
                          : c == Ch<Char>('0') ? &parts.zeroPad
                                               : nullptr;
    flag = setting != nullptr;
    if (flag) *setting = true;
  }
  auto readField = [&](Field& field) {
    if (i < last && text[i] == Ch<Char>('*')) {
      field = Field{FieldKind::kStar, 0};
      ++i;
      return;
    }
    std::uint32_t value = 0;
    bool any = false;
    while (i < last && detail::IsDigit(text[i])) {
      value = value * 10 + static_cast<std::uint32_t>(text[i] - Ch<Char>('0'));
      if (value > kLargestField) value = kLargestField + 1;
      any = true;
      ++i;
    }
    if (any) field = Field{FieldKind::kWritten, value};
  };
  readField(parts.width);
  if (i < last && text[i] == Ch<Char>('.')) {
    ++i;
    parts.precision = Field{FieldKind::kWritten, 0};  // "%.f": precision 0
    readField(parts.precision);
  }
  parts.length = detail::ReadLength(text, last, i);
  const bool tooLarge = parts.width.value > kLargestField || parts.precision.value > kLargestField;
  parts.wellFormed = i == last && parts.conversion != '\0' && !tooLarge;
  if (i != last) parts.length = detail::TrailingLength(text, length);
  return parts;
}

// Bytes of the integer an integer conversion takes.
inline std::size_t IntegerBytes(Length length, const DataModel& model) noexcept {
  switch (length) {
    case Length::kLong:
      return model.longBytes;
    case Length::kLongLong:
    case Length::kLongDouble:  // "%Lld": as ll, as the C libraries read it
    case Length::kInt64:
      return 8;
    case Length::kIntMax:
      return model.intmaxBytes;
    case Length::kSize:
    case Length::kPtrDiff:
    case Length::kPointer:
      return model.pointerBytes;
    default:
      return 4;  // int, and char and short, which the call promotes to int
  }
}

// Whether %c, %s, %C or %S takes a wide argument: l makes it wide and h narrow, as the Windows
// runtimes read them; without either, c and s take the text's own width, C and S the other one.
inline bool TakesWideArgument(char conversion, Length length, bool wideText) noexcept {
  if (length == Length::kLong) return true;
  if (length == Length::kShort) return false;
  const bool otherWidth = conversion == 'C' || conversion == 'S';
  return otherWidth ? !wideText : wideText;
}

inline ArgumentKind KindOf(char conversion, Length length, bool wideText, const DataModel& model) noexcept {
  switch (conversion) {
    case 'd':
    case 'i':
      return IntegerBytes(length, model) == 8 ? ArgumentKind::kInt64 : ArgumentKind::kInt32;
    case 'o':
    case 'u':
    case 'x':
    case 'X':
      return IntegerBytes(length, model) == 8 ? ArgumentKind::kUInt64 : ArgumentKind::kUInt32;
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
      return length == Length::kLongDouble ? ArgumentKind::kLongDouble : ArgumentKind::kDouble;
    case 'p':
      return ArgumentKind::kPointer;
    case 'n':
      return ArgumentKind::kCountPointer;
    case 'c':
    case 'C':
      return TakesWideArgument(conversion, length, wideText) ? ArgumentKind::kWideCharacter
                                                             : ArgumentKind::kNarrowCharacter;
    case 's':
    case 'S':
      return TakesWideArgument(conversion, length, wideText) ? ArgumentKind::kWideString
                                                             : ArgumentKind::kNarrowString;
    default:
      return ArgumentKind::kNone;  // %%
  }
}

}  // namespace tellit
