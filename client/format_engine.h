// The message formatter shared by tellitf and tellitwf: walks the format and formats one directive at a time.
//
// Numbers go to the C formatter one directive at a time, so they read as the C library the engine
// is built with prints them: C99 forms (MinGW-w64's own printf in the DLL, glibc natively), such as
// two exponent digits ("1e+10"), "inf" and "nan", hexadecimal reals without trailing zeros ("0x1p+0")
// and halves rounded to even. The old msvcrt.dll forms ("1e+010", "1.#INF00") are not followed.
// Strings, characters and %p are formatted here: strings of the other width go through the caller's
// TextConversion, and %p takes the form of the data model (on Windows, the Windows runtimes' form).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "client/format_arguments.h"
#include "client/format_directive.h"

namespace tellit {

struct FormatOutcome {
  std::uint32_t length;  // characters kept; the buffer holds a NUL right after them
  bool overflowed;       // the whole text would have needed the capacity or more (no room for its NUL)
};

namespace detail {

template <typename Char>
constexpr bool kIsWide = sizeof(Char) > 1;

// A wide character as a wide argument holds it: the 16 bits of a Windows wchar_t.
inline wchar_t WideUnit(std::int32_t value) noexcept { return static_cast<wchar_t>(static_cast<std::uint16_t>(value)); }

// The value of one directive, read as its ArgumentKind says.
struct ArgumentValue {
  std::int64_t integer = 0;
  std::uint64_t unsignedInteger = 0;
  double real = 0.0;
  const void* pointer = nullptr;
  const char* narrow = nullptr;
  const wchar_t* wide = nullptr;
};

inline ArgumentValue TakeArgument(ArgumentKind kind, Length length, FormatArguments& arguments) {
  ArgumentValue value;
  switch (kind) {
    case ArgumentKind::kInt32:
    case ArgumentKind::kNarrowCharacter:
    case ArgumentKind::kWideCharacter: {
      const std::int32_t raw = arguments.NextInt32();
      value.integer = length == Length::kChar ? static_cast<signed char>(raw)
                      : length == Length::kShort ? static_cast<short>(raw)
                                                 : raw;
      break;
    }
    case ArgumentKind::kUInt32: {
      const auto raw = static_cast<std::uint32_t>(arguments.NextInt32());
      value.unsignedInteger = length == Length::kChar ? static_cast<unsigned char>(raw)
                              : length == Length::kShort ? static_cast<unsigned short>(raw)
                                                         : raw;
      break;
    }
    case ArgumentKind::kInt64:
      value.integer = arguments.NextInt64();
      break;
    case ArgumentKind::kUInt64:
      value.unsignedInteger = arguments.NextUInt64();
      break;
    case ArgumentKind::kDouble:
      value.real = arguments.NextDouble();
      break;
    case ArgumentKind::kLongDouble:
      value.real = arguments.NextLongDouble();
      break;
    case ArgumentKind::kPointer:
      value.pointer = arguments.NextPointer();
      break;
    case ArgumentKind::kCountPointer:
      value.pointer = arguments.NextCountPointer();
      break;
    case ArgumentKind::kNarrowString:
      value.narrow = arguments.NextNarrowString();
      break;
    case ArgumentKind::kWideString:
      value.wide = arguments.NextWideString();
      break;
    case ArgumentKind::kNone:
      break;
  }
  return value;
}

// Flags, width and precision with every '*' resolved.
struct FieldFormat {
  bool leftJustify, plus, space, alternate, zeroPad;
  std::uint32_t width;
  bool hasPrecision;
  std::uint32_t precision;
};

// Resolves the stars; false when a field comes out larger than kLargestField.
inline bool ResolveFields(const DirectiveParts& parts, const int (&stars)[2], FieldFormat& field) noexcept {
  field = FieldFormat{parts.leftJustify, parts.plus, parts.space, parts.alternate, parts.zeroPad, 0, false, 0};
  std::size_t nextStar = 0;
  if (parts.width.kind == FieldKind::kWritten) {
    field.width = parts.width.value;
  } else if (parts.width.kind == FieldKind::kStar) {
    // A negative width is a '-' flag and the width; INT_MIN's magnitude is held in 64 bits.
    std::int64_t width = stars[nextStar++];
    if (width < 0) {
      field.leftJustify = true;
      width = -width;
    }
    if (width > kLargestField) return false;
    field.width = static_cast<std::uint32_t>(width);
  }
  if (parts.precision.kind == FieldKind::kWritten) {
    field.hasPrecision = true;
    field.precision = parts.precision.value;
  } else if (parts.precision.kind == FieldKind::kStar) {
    const int precision = stars[nextStar];
    if (precision > static_cast<std::int64_t>(kLargestField)) return false;
    field.hasPrecision = precision >= 0;  // a negative precision is taken as none
    field.precision = precision >= 0 ? static_cast<std::uint32_t>(precision) : 0;
  }
  return true;
}

// Writes "%<flags><width>.<precision><modifier><conversion>" for the C formatter.
inline void WriteCDirective(const FieldFormat& field, const char* modifier, char conversion, char (&out)[40]) noexcept {
  std::size_t n = 0;
  out[n++] = '%';
  if (field.leftJustify) out[n++] = '-';
  if (field.plus) out[n++] = '+';
  if (field.space) out[n++] = ' ';
  if (field.alternate) out[n++] = '#';
  if (field.zeroPad) out[n++] = '0';
  auto writeNumber = [&](std::uint32_t value) {
    char digits[10];
    std::size_t count = 0;
    do {
      digits[count++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value > 0);
    while (count > 0) out[n++] = digits[--count];
  };
  if (field.width > 0) writeNumber(field.width);
  if (field.hasPrecision) {
    out[n++] = '.';
    writeNumber(field.precision);
  }
  for (const char* m = modifier; *m != '\0'; ++m) out[n++] = *m;
  out[n++] = conversion;
  out[n] = '\0';
}

template <typename Char>
class TextFormatter {
 public:
  TextFormatter(Char* buffer, std::uint32_t capacity, FormatArguments& arguments, TextConversion& conversion,
                const DataModel& model) noexcept
      : buffer_(buffer), capacity_(capacity), arguments_(arguments), conversion_(conversion), model_(model) {}

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
          AppendText(&c, 1);
        }
        continue;
      }
      if (IsDirectiveCharacter(c) && directiveLength + 1 >= kLongestDirective) {
        // No room left for a conversion character: the directive is too long to be one.
        AppendText(directive, directiveLength);
        AppendText(&c, 1);
        inside = false;
        continue;
      }
      directive[directiveLength++] = c;
      if (IsDirectiveCharacter(c)) continue;
      inside = false;
      Directive(directive, directiveLength);
    }
    // A directive still open at the end of the format is dropped.
    buffer_[length_] = Ch<Char>('\0');
    return FormatOutcome{length_, overflowed_};
  }

 private:
  // One directive, ended by the character at text[length - 1].
  void Directive(const Char* text, std::size_t length) noexcept {
    const DirectiveParts parts = ParseDirective(text, length);
    if (parts.conversion == '\0') {
      AppendText(text, length);  // no conversion: it takes nothing
      return;
    }
    // Every '*' and then the value, also for a directive that comes out as written, so that
    // the arguments after it are read from their places.
    int stars[2] = {0, 0};
    for (std::size_t k = 0; k < parts.stars; ++k) {
      const int value = arguments_.NextFieldValue();
      if (k < 2) stars[k] = value;
    }
    const ArgumentKind kind = KindOf(parts.conversion, parts.length, kIsWide<Char>, model_);
    const ArgumentValue value = TakeArgument(kind, parts.length, arguments_);
    FieldFormat field;
    if (!parts.wellFormed || !ResolveFields(parts, stars, field)) {
      AppendText(text, length);
      return;
    }
    switch (kind) {
      case ArgumentKind::kInt32:
      case ArgumentKind::kInt64:
        AppendNumber(field, "ll", 'd', static_cast<long long>(value.integer));
        break;
      case ArgumentKind::kUInt32:
      case ArgumentKind::kUInt64:
        // The sign flags '+' and space apply to signed conversions only, as in C and in Windows'
        // own printf; MinGW's formatter would print "% u" with a space.
        field.plus = field.space = false;
        AppendNumber(field, "ll", parts.conversion, static_cast<unsigned long long>(value.unsignedInteger));
        break;
      case ArgumentKind::kDouble:
      case ArgumentKind::kLongDouble:
        AppendNumber(field, "", parts.conversion, value.real);
        break;
      case ArgumentKind::kPointer:
        AppendPointer(field, value.pointer);
        break;
      case ArgumentKind::kCountPointer:
        AppendText(text, length);  // %n comes out as written; nothing is stored
        break;
      case ArgumentKind::kNarrowCharacter:
      case ArgumentKind::kWideCharacter:
        AppendCharacter(field, kind == ArgumentKind::kWideCharacter, value.integer);
        break;
      case ArgumentKind::kNarrowString:
        AppendString(field, value.narrow);
        break;
      case ArgumentKind::kWideString:
        AppendString(field, value.wide);
        break;
      case ArgumentKind::kNone: {
        const Char percent = Ch<Char>('%');
        AppendText(&percent, 1);
        break;
      }
    }
  }

  void AppendText(const Char* text, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count && !overflowed_; ++i) {
      if (length_ + 1 >= capacity_) {
        overflowed_ = true;  // this character and the NUL do not both fit
        return;
      }
      buffer_[length_++] = text[i];
    }
  }

  void AppendSpaces(std::size_t count) noexcept {
    const Char space = Ch<Char>(' ');
    for (std::size_t i = 0; i < count && !overflowed_; ++i) AppendText(&space, 1);
  }

  // The C formatter writes narrow text into the buffer's free cells; wide text is then widened
  // in place from its end, where each wide cell covers bytes that were already read.
  template <typename T>
  void AppendNumber(const FieldFormat& field, const char* modifier, char conversion, T value) noexcept {
    char cDirective[40];
    WriteCDirective(field, modifier, conversion == 'i' ? 'd' : conversion, cDirective);
    Char* const out = buffer_ + length_;
    const std::size_t room = capacity_ - length_;
    char* const bytes = reinterpret_cast<char*>(out);
    const int produced = std::snprintf(bytes, room, cDirective, value);
    if (produced < 0) return;
    const std::size_t kept = static_cast<std::size_t>(produced) < room ? static_cast<std::size_t>(produced) : room - 1;
    if constexpr (kIsWide<Char>) {
      for (std::size_t i = kept; i-- > 0;) out[i] = static_cast<Char>(static_cast<unsigned char>(bytes[i]));
    }
    length_ += static_cast<std::uint32_t>(kept);
    if (kept < static_cast<std::size_t>(produced)) overflowed_ = true;
  }

  void AppendPointer(const FieldFormat& field, const void* pointer) noexcept {
    if (model_.pointerForm == PointerForm::kCLibrary) {
      AppendNumber(field, "", 'p', pointer);
      return;
    }
    // Every digit of the pointer's size, upper case; only '-' and the width apply.
    const std::size_t digits = 2 * model_.pointerBytes;
    auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(pointer));
    Char text[16];
    for (std::size_t i = digits; i-- > 0; bits >>= 4) text[i] = Ch<Char>("0123456789ABCDEF"[bits & 0xF]);
    AppendPadded(field, text, digits);
  }

  void AppendPadded(const FieldFormat& field, const Char* text, std::size_t count) noexcept {
    const std::size_t padding = field.width > count ? field.width - count : 0;
    if (!field.leftJustify) AppendSpaces(padding);
    AppendText(text, count);
    if (field.leftJustify) AppendSpaces(padding);
  }

  // A character 0 adds no text, and the text of the C formatter's output ends there: what is
  // left is the padding before it.
  void AppendCharacter(const FieldFormat& field, bool wideArgument, std::int64_t value) noexcept {
    if (wideArgument) {
      const wchar_t unit = WideUnit(static_cast<std::int32_t>(value));
      if (unit == 0) return AppendZeroCharacter(field);
      const wchar_t text[2] = {unit, 0};
      AppendString(field, text, false);
    } else {
      const char byte = static_cast<char>(value);
      if (byte == '\0') return AppendZeroCharacter(field);
      const char text[2] = {byte, '\0'};
      AppendString(field, text, false);
    }
  }

  void AppendZeroCharacter(const FieldFormat& field) noexcept {
    if (!field.leftJustify && field.width > 1) AppendSpaces(field.width - 1);
  }

  // A string of the text's own width is copied; one of the other width is converted, whole
  // characters only. The precision counts the units written.
  template <typename ArgumentChar>
  void AppendString(const FieldFormat& field, const ArgumentChar* text, bool usePrecision = true) noexcept {
    const std::size_t limit = usePrecision && field.hasPrecision ? field.precision : static_cast<std::size_t>(-1);
    if (text == nullptr) {
      static constexpr char kNull[] = "(null)";
      Char shown[sizeof kNull];
      for (std::size_t i = 0; i < sizeof kNull; ++i) shown[i] = Ch<Char>(kNull[i]);
      return AppendPadded(field, shown, limit < sizeof kNull - 1 ? limit : sizeof kNull - 1);
    }
    if constexpr (sizeof(ArgumentChar) == sizeof(Char)) {
      std::size_t count = 0;
      while (count < limit && text[count] != ArgumentChar{}) ++count;
      AppendPadded(field, reinterpret_cast<const Char*>(text), count);
    } else {
      AppendConverted(field, text, limit);
    }
  }

  template <typename ArgumentChar>
  void AppendConverted(const FieldFormat& field, const ArgumentChar* text, std::size_t limit) noexcept {
    std::size_t padding = 0;
    if (field.width > 0) {
      // Counting one character beyond the width tells whether the text reaches it.
      const std::size_t bound = Smaller(limit, field.width + kLongestCharacter);
      const std::size_t units = Convert(text, nullptr, bound).units;
      padding = field.width > units ? field.width - units : 0;
    }
    if (!field.leftJustify) AppendSpaces(padding);
    if (overflowed_) return;
    const std::size_t room = capacity_ - 1 - length_;
    const Converted converted = Convert(text, buffer_ + length_, Smaller(limit, room));
    length_ += static_cast<std::uint32_t>(converted.units);
    // Stopped by the room rather than the precision: the next character belongs to the text.
    if (!converted.complete && room < limit && Convert(text, nullptr, limit).units > converted.units) {
      overflowed_ = true;
      return;
    }
    if (field.leftJustify) AppendSpaces(padding);
  }

  Converted Convert(const wchar_t* text, char* out, std::size_t room) noexcept {
    return conversion_.ToNarrow(text, out, room);
  }
  Converted Convert(const char* text, wchar_t* out, std::size_t room) noexcept {
    return conversion_.ToWide(text, out, room);
  }

  static std::size_t Smaller(std::size_t a, std::size_t b) noexcept { return a < b ? a : b; }

  Char* const buffer_;
  const std::uint32_t capacity_;
  FormatArguments& arguments_;
  TextConversion& conversion_;
  const DataModel model_;
  std::uint32_t length_ = 0;
  bool overflowed_ = false;
};

}  // namespace detail

// Formats `format` into `buffer` of `capacity` characters (at least 1), as printf would, one
// directive at a time; a directive whose last character is no conversion is copied as written
// and takes no argument. Never writes past the buffer; text that does not fit is cut to at most
// capacity - 1 characters (a converted string keeps whole characters) and reported.
template <typename Char>
FormatOutcome FormatText(const Char* format, Char* buffer, std::uint32_t capacity, FormatArguments& arguments,
                         TextConversion& conversion, const DataModel& model = kPlatformModel) noexcept {
  return detail::TextFormatter<Char>(buffer, capacity, arguments, conversion, model).Run(format);
}

}  // namespace tellit
