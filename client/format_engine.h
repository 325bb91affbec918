// The message formatter shared by tellitf and tellitwf: parses the format and formats one conversion at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cwchar>

namespace tellit {

// Where the formatter takes the values of its conversions from, strictly in format order.
// tellitf and tellitwf read a va_list; tests and the fuzzer supply values from a table.
class FormatArguments {
 public:
  virtual std::int32_t NextInt32() = 0;
  virtual std::int64_t NextInt64() = 0;
  virtual double NextDouble() = 0;
  virtual const char* NextNarrowString() = 0;
  virtual const wchar_t* NextWideString() = 0;

 protected:
  ~FormatArguments() = default;
};

struct FormatOutcome {
  std::uint32_t length;  // characters kept; the buffer holds a NUL right after them
  bool overflowed;       // the whole text would have needed the capacity or more (no room for its NUL)
};

// A directive holds the percent sign, its flags, width, precision, modifiers and the
// conversion character: at most this many characters. A longer one comes out as written.
inline constexpr std::size_t kLongestDirective = 63;

// Widths and precisions above this make a directive come out as written: no message
// buffer is that large, and it keeps each call of the C formatter cheap and below INT_MAX.
inline constexpr std::uint32_t kLargestField = 999999;

namespace detail {

template <typename T>
int CallCFormatter(char* out, std::size_t room, const char* directive, T value) noexcept {
  return std::snprintf(out, room, directive, value);
}

template <typename T>
int CallCFormatter(wchar_t* out, std::size_t room, const wchar_t* directive, T value) noexcept {
  return std::swprintf(out, room, directive, value);
}

template <typename Char>
constexpr bool kIsWide = sizeof(Char) > 1;

template <typename Char>
constexpr Char Ch(char c) noexcept {
  return static_cast<Char>(c);
}

template <typename Char>
constexpr bool IsDirectiveCharacter(Char c) noexcept {
  return (c >= Ch<Char>('0') && c <= Ch<Char>('9')) || c == Ch<Char>('#') || c == Ch<Char>('-') ||
         c == Ch<Char>('.') || c == Ch<Char>('l');
}

template <typename Char>
constexpr bool IsConversionCharacter(Char c) noexcept {
  return c == Ch<Char>('d') || c == Ch<Char>('o') || c == Ch<Char>('x') || c == Ch<Char>('X') ||
         c == Ch<Char>('c') || c == Ch<Char>('f') || c == Ch<Char>('s');
}

// The parts of a directive "%[-#0]*[width][.precision][l...]conv". Anything else made of
// the directive characters ("%5-3d", "%l5d", "%1.2.3f") is not well formed: the C formatter
// would be handed something whose behaviour it does not define.
struct DirectiveShape {
  bool wellFormed;
  bool leftJustified;
  std::uint32_t width;
  std::size_t prefixLength;  // '%', flags, width and precision: passed on unchanged
  std::size_t ellCount;      // the run of 'l' right before the conversion character
};

template <typename Char>
DirectiveShape ShapeOf(const Char* directive, std::size_t length) noexcept {
  DirectiveShape shape{false, false, 0, 0, 0};
  const std::size_t last = length - 1;
  std::size_t i = 1;
  while (i < last && (directive[i] == Ch<Char>('-') || directive[i] == Ch<Char>('#') ||
                      directive[i] == Ch<Char>('0'))) {
    if (directive[i] == Ch<Char>('-')) shape.leftJustified = true;
    ++i;
  }
  bool tooLarge = false;
  auto readNumber = [&](std::uint32_t& value) {
    while (i < last && directive[i] >= Ch<Char>('0') && directive[i] <= Ch<Char>('9')) {
      value = value * 10 + static_cast<std::uint32_t>(directive[i] - Ch<Char>('0'));
      if (value > kLargestField) {
        tooLarge = true;
        value = kLargestField;
      }
      ++i;
    }
  };
  readNumber(shape.width);
  if (i < last && directive[i] == Ch<Char>('.')) {
    ++i;
    std::uint32_t precision = 0;
    readNumber(precision);
  }
  shape.prefixLength = i;
  while (i < last && directive[i] == Ch<Char>('l')) {
    ++shape.ellCount;
    ++i;
  }
  shape.wellFormed = i == last && !tooLarge;
  return shape;
}

// One argument, taken from the list according to the conversion character and its modifiers.
struct Argument {
  enum class Kind { Int32, Int64, Character, Double, NarrowString, WideString } kind;
  std::int64_t integer;
  double real;
  const char* narrow;
  const wchar_t* wide;
};

// The argument's size follows the characters right before the conversion character, also in a
// directive that comes out as written: "%l5lld" still takes a 64-bit value from the list, or
// every later argument would be read from the wrong place.
template <typename Char>
bool EndsInTwoElls(const Char* directive, std::size_t length) noexcept {
  return length >= 3 && directive[length - 2] == Ch<Char>('l') && directive[length - 3] == Ch<Char>('l');
}

template <typename Char>
Argument TakeArgument(Char conversion, std::size_t ellCount, bool twoElls, FormatArguments& arguments) {
  Argument argument{Argument::Kind::Int32, 0, 0.0, nullptr, nullptr};
  switch (static_cast<char>(conversion)) {
    case 'c':
      argument.kind = Argument::Kind::Character;
      argument.integer = arguments.NextInt32();
      break;
    case 'f':
      argument.kind = Argument::Kind::Double;
      argument.real = arguments.NextDouble();
      break;
    case 's':
      if (kIsWide<Char> || ellCount > 0) {
        argument.kind = Argument::Kind::WideString;
        argument.wide = arguments.NextWideString();
      } else {
        argument.kind = Argument::Kind::NarrowString;
        argument.narrow = arguments.NextNarrowString();
      }
      break;
    default:  // d, o, x, X
      if (twoElls) {
        argument.kind = Argument::Kind::Int64;
        argument.integer = arguments.NextInt64();
      } else {
        argument.kind = Argument::Kind::Int32;
        argument.integer = arguments.NextInt32();
      }
      break;
  }
  return argument;
}

template <typename Char>
class TextFormatter {
 public:
  TextFormatter(Char* buffer, std::uint32_t capacity, FormatArguments& arguments) noexcept
      : buffer_(buffer), capacity_(capacity), arguments_(arguments) {}

  FormatOutcome Run(const Char* format) noexcept {
    Char directive[kLongestDirective + 1];
    std::size_t directiveLength = 0;
    bool inside = false;
    for (const Char* p = format; *p != Ch<Char>('\0') && !overflowed_; ++p) {
      const Char c = *p;
      if (!inside) {
        if (c == Ch<Char>('%')) {
          directive[0] = c;
          directiveLength = 1;
          inside = true;
        } else {
          AppendLiteral(&c, 1);
        }
        continue;
      }
      if (IsDirectiveCharacter(c) && directiveLength + 1 >= kLongestDirective) {
        // No room left for a conversion character: the directive is too long to be one.
        AppendLiteral(directive, directiveLength);
        AppendLiteral(&c, 1);
        inside = false;
        continue;
      }
      directive[directiveLength++] = c;
      if (IsDirectiveCharacter(c)) continue;
      inside = false;
      directive[directiveLength] = Ch<Char>('\0');
      if (IsConversionCharacter(c)) {
        Convert(directive, directiveLength);
      } else {
        AppendLiteral(directive, directiveLength);
      }
    }
    // A directive still open at the end of the format is dropped.
    buffer_[length_] = Ch<Char>('\0');
    return FormatOutcome{length_, overflowed_};
  }

 private:
  void AppendLiteral(const Char* text, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count && !overflowed_; ++i) {
      if (length_ + 1 >= capacity_) {
        overflowed_ = true;  // this character and the NUL do not both fit
        return;
      }
      buffer_[length_++] = text[i];
    }
  }

  void Convert(const Char* directive, std::size_t length) noexcept {
    const Char conversion = directive[length - 1];
    const DirectiveShape shape = ShapeOf(directive, length);
    const Argument argument =
        TakeArgument(conversion, shape.ellCount, EndsInTwoElls(directive, length), arguments_);
    if (!shape.wellFormed) {
      AppendLiteral(directive, length);
      return;
    }

    // The C form: flags, width and precision as written, the modifier the argument's type needs.
    Char c_directive[kLongestDirective + 4];
    std::size_t n = 0;
    for (; n < shape.prefixLength; ++n) c_directive[n] = directive[n];
    const bool wideArgument = argument.kind == Argument::Kind::WideString ||
                              (argument.kind == Argument::Kind::Character && kIsWide<Char>);
    if (argument.kind == Argument::Kind::Int64) {
      c_directive[n++] = Ch<Char>('l');
      c_directive[n++] = Ch<Char>('l');
    } else if (wideArgument) {
      c_directive[n++] = Ch<Char>('l');
    }
    c_directive[n++] = conversion;
    c_directive[n] = Ch<Char>('\0');

    Char* const out = buffer_ + length_;
    const std::size_t room = capacity_ - length_;
    bool zeroCharacter = false;
    int produced = -1;
    switch (argument.kind) {
      case Argument::Kind::Int32:
        produced = CallCFormatter(out, room, c_directive, static_cast<int>(argument.integer));
        break;
      case Argument::Kind::Int64:
        produced = CallCFormatter(out, room, c_directive, static_cast<long long>(argument.integer));
        break;
      case Argument::Kind::Character:
        if (kIsWide<Char>) {
          const auto unit = static_cast<std::uint16_t>(argument.integer);
          zeroCharacter = unit == 0;
          produced = CallCFormatter(out, room, c_directive, static_cast<std::wint_t>(unit));
        } else {
          const auto byte = static_cast<unsigned char>(argument.integer);
          zeroCharacter = byte == 0;
          produced = CallCFormatter(out, room, c_directive, static_cast<int>(byte));
        }
        break;
      case Argument::Kind::Double:
        produced = CallCFormatter(out, room, c_directive, argument.real);
        break;
      case Argument::Kind::NarrowString:
        produced = CallCFormatter(out, room, c_directive, argument.narrow ? argument.narrow : "(null)");
        break;
      case Argument::Kind::WideString:
        produced = CallCFormatter(out, room, c_directive, argument.wide ? argument.wide : L"(null)");
        break;
    }
    Settle(produced, room, shape, zeroCharacter);
  }

  // Works out how much of the conversion's output is text, and whether the text had to be cut.
  // swprintf answers -1 for output that did not fit, and some C libraries leave a cut output
  // without its NUL: the last buffer cell is made a NUL whatever the call did.
  void Settle(int produced, std::size_t room, const DirectiveShape& shape, bool zeroCharacter) noexcept {
    Char* const out = buffer_ + length_;
    if (produced >= 0 && static_cast<std::size_t>(produced) < room) {
      length_ += static_cast<std::uint32_t>(TextLength(out, static_cast<std::size_t>(produced)));
      return;
    }
    if (produced < 0 && !kIsWide<Char>) {
      *out = Ch<Char>('\0');  // snprintf failed (a wide string it cannot convert): nothing added
      return;
    }
    buffer_[capacity_ - 1] = Ch<Char>('\0');
    const std::size_t written = TextLength(out, room - 1);
    if (written < room - 1) {
      // The output stops early: a %c of character 0 written left-justified, or a failed call.
      if (zeroCharacter) {
        length_ += static_cast<std::uint32_t>(written);
      } else {
        *out = Ch<Char>('\0');
      }
      return;
    }
    std::size_t visible = room;  // a cut output had at least room characters
    if (zeroCharacter) {
      const std::size_t width = shape.width > 0 ? shape.width : 1;
      visible = shape.leftJustified ? 0 : width - 1;  // the padding is text, the character 0 is not
    }
    length_ += static_cast<std::uint32_t>(written);
    if (visible >= room) overflowed_ = true;
  }

  static std::size_t TextLength(const Char* text, std::size_t limit) noexcept {
    std::size_t n = 0;
    while (n < limit && text[n] != Ch<Char>('\0')) ++n;
    return n;
  }

  Char* const buffer_;
  const std::uint32_t capacity_;
  FormatArguments& arguments_;
  std::uint32_t length_ = 0;
  bool overflowed_ = false;
};

}  // namespace detail

// Formats `format` into `buffer` of `capacity` characters (at least 1): plain characters are
// copied, %d %o %x %X %c %f %s are formatted one at a time by the C formatter at the end of the
// text, any other directive is copied as written and takes no argument. Never writes past
// the buffer; text that does not fit is cut to capacity - 1 characters and reported.
template <typename Char>
FormatOutcome FormatText(const Char* format, Char* buffer, std::uint32_t capacity,
                         FormatArguments& arguments) noexcept {
  return detail::TextFormatter<Char>(buffer, capacity, arguments).Run(format);
}

}  // namespace tellit
