// What the formatter engine takes from its caller: the values of the conversions and the conversion between text widths.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tellit {

// Where the formatter takes the values of its conversions from, strictly in format order.
// tellitf and tellitwf read a va_list; tests and the fuzzer supply values from a table.
class FormatArguments {
 public:
  // An int, or anything the call promotes to one (char, short, a wide character) or that is
  // 32 bits wide in the data model (long on Windows, size_t on 32-bit Windows); unsigned
  // conversions take its bits.
  virtual std::int32_t NextInt32() = 0;
  virtual std::int64_t NextInt64() = 0;
  virtual std::uint64_t NextUInt64() = 0;
  virtual double NextDouble() = 0;
  // A long double, handed over as a double: the engine formats every real as a double.
  virtual double NextLongDouble() = 0;
  virtual const void* NextPointer() = 0;
  // The pointer of a %n, taken so that later arguments stay in place; nothing is written through it.
  virtual const void* NextCountPointer() = 0;
  // A width or precision written as '*'.
  virtual int NextFieldValue() = 0;
  virtual const char* NextNarrowString() = 0;
  virtual const wchar_t* NextWideString() = 0;

 protected:
  ~FormatArguments() = default;
};

// The result of converting a string argument: the units written (or counted) and whether the
// whole string was converted.
struct Converted {
  std::size_t units;
  bool complete;
};

// Converts a string argument whose width differs from the text's (%ls in tellitf, %hs and %S in
// tellitwf). The DLL converts through the ANSI code page; tests supply a fake.
class TextConversion {
 public:
  // Converts the NUL-terminated `text`, whole characters only, as long as they fit in `room`
  // units, into `out`; with a null `out` only counts.
  virtual Converted ToNarrow(const wchar_t* text, char* out, std::size_t room) = 0;
  virtual Converted ToWide(const char* text, wchar_t* out, std::size_t room) = 0;

 protected:
  ~TextConversion() = default;
};

// The most units one character takes in either width: four bytes of UTF-8, or a surrogate pair.
inline constexpr std::size_t kLongestCharacter = 4;

}  // namespace tellit
