// libFuzzer target of the formatter engine: formats built from the input and fed the arguments their directives take.
//
// Input: byte 0 picks the capacity of the cut run; byte 1 whether the text is wide (bit 0) and
// whether the rest is a raw format (bit 1). A built format is a run of literal text and
// directives, each made from the input with the arguments it takes, of the types it takes them
// at. Checks, for a built format:
//  - the engine asks for exactly those arguments, in order, kind by kind;
//  - each directive formatted alone through a real va_list of those arguments gives the same text,
//    and, for the directives both print alike, the same text as the C library's snprintf;
// and for every format, built or raw:
//  - the text does not depend on what the buffer held before (formatted twice over different garbage);
//  - a small buffer keeps a prefix of the whole text and reports an overflow exactly when it does not fit.
#include <climits>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "client/format_engine.h"
#include "client/va_list_arguments.h"
#include "fake_code_page.h"

namespace {

using tellit::FormatOutcome;
using tellit::testing::FakeCodePage;

// What the harness itself knows a directive takes; never derived from the engine.
enum class Kind { kStar, kInt, kSigned64, kUnsigned64, kDouble, kLongDouble, kPointer, kCount, kNarrow, kWide };

struct Arg {
  Kind kind;
  std::int64_t bits = 0;
  double real = 0.0;
  const char* narrow = nullptr;
  const wchar_t* wide = nullptr;
};

int countTarget = 0;  // what every %n is handed; the engine must never store through it

// One directive's text is short unless a '*' asks for a huge field; a whole format holds twelve.
constexpr std::uint32_t kDirectiveCapacity = 4096;
constexpr std::uint32_t kLargeCapacity = 8192;

const char* const kNarrowStrings[] = {"", "text", "a longer string of text", "\x82\xC2\x82\xC3", "\x93\xfa\x96\x7b",
                                      nullptr};
const wchar_t* const kWideStrings[] = {L"", L"wide", L"a longer wide string", L"\x3042\x3043", L"\x65e5\x672c",
                                       nullptr};

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return position_ >= size_; }
  std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
  std::uint64_t Bits(std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) value = (value << 8) | Byte();
    return value;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// Length modifiers, with the size of the integer each takes on this platform.
struct Modifier {
  const char* text;
  std::size_t integerBytes;
  bool longDouble;
  int stringWidth;  // for c, s, C, S: 1 wide, -1 narrow, 0 as the conversion says
  bool cLibraryKnows;
};
const Modifier kModifiers[] = {
    {"", sizeof(int), false, 0, true},
    {"hh", sizeof(int), false, 0, true},
    {"h", sizeof(int), false, -1, true},
    {"l", sizeof(long), false, 1, true},
    {"ll", sizeof(long long), false, 0, true},
    {"j", sizeof(std::intmax_t), false, 0, true},
    {"z", sizeof(std::size_t), false, 0, true},
    {"t", sizeof(std::ptrdiff_t), false, 0, true},
    {"L", sizeof(long long), true, 0, true},
    {"I32", 4, false, 0, false},
    {"I64", 8, false, 0, false},
    {"I", sizeof(void*), false, 0, false},
};
constexpr char kConversions[] = "diouxXfFeEgGaApncsCS%ykwqZ";

struct Directive {
  std::string text;
  std::vector<Arg> args;
  bool likeCLibrary;  // narrow snprintf prints this directive with these arguments as the engine does
};

int Star(Input& input) {
  const std::uint8_t b = input.Byte();
  static const int kSpecial[] = {INT_MIN, INT_MAX, 1000000, -1000000, 999999, 0, -1, 100000};
  return b >= 0xF8 ? kSpecial[b & 7] : static_cast<int>(static_cast<std::int8_t>(b)) % 40;
}

bool FieldInRange(int value) { return value >= -999999 && value <= 999999; }

Directive MakeDirective(Input& input, bool wideText) {
  Directive d{"%", {}, true};
  const std::uint8_t flags = input.Byte();
  for (int i = 0; i < 5; ++i) {
    if (flags & (1 << i)) d.text += "-+ #0"[i];
  }
  const std::uint8_t fields = input.Byte();
  switch (fields & 3) {
    case 1:
      d.text += std::to_string(input.Byte() % 40);
      break;
    case 2:
      d.args.push_back(Arg{Kind::kStar, Star(input)});
      d.text += '*';
      break;
    default:
      break;
  }
  switch ((fields >> 2) & 3) {
    case 1:
      d.text += '.';
      break;
    case 2:
      d.text += '.' + std::to_string(input.Byte() % 30);
      break;
    case 3:
      d.args.push_back(Arg{Kind::kStar, Star(input)});
      d.text += ".*";
      break;
    default:
      break;
  }
  for (const Arg& a : d.args) d.likeCLibrary = d.likeCLibrary && FieldInRange(static_cast<int>(a.bits));
  const Modifier& modifier = kModifiers[input.Byte() % (sizeof kModifiers / sizeof kModifiers[0])];
  const char conversion = kConversions[input.Byte() % (sizeof kConversions - 1)];
  d.text += modifier.text;
  d.text += conversion;
  d.likeCLibrary = d.likeCLibrary && modifier.cLibraryKnows;

  Arg value{Kind::kInt};
  if (std::strchr("di", conversion)) {
    value.kind = modifier.integerBytes == 8 ? Kind::kSigned64 : Kind::kInt;
    value.bits = static_cast<std::int64_t>(input.Bits(modifier.integerBytes));
  } else if (std::strchr("ouxX", conversion)) {
    value.kind = modifier.integerBytes == 8 ? Kind::kUnsigned64 : Kind::kInt;
    value.bits = static_cast<std::int64_t>(input.Bits(modifier.integerBytes));
  } else if (std::strchr("fFeEgGaA", conversion)) {
    const std::uint64_t bits = input.Bits(8);
    std::memcpy(&value.real, &bits, sizeof value.real);
    value.kind = modifier.longDouble ? Kind::kLongDouble : Kind::kDouble;
    // glibc prints a long double's %a from its own 64-bit mantissa ("0x8p-3"), and reads a long
    // double for ll, j, z and t too, where the engine reads the double the caller passed.
    if (modifier.longDouble && (conversion == 'a' || conversion == 'A')) d.likeCLibrary = false;
    if (!modifier.longDouble && std::strcmp(modifier.text, "") != 0 && std::strcmp(modifier.text, "l") != 0) {
      d.likeCLibrary = false;
    }
  } else if (conversion == 'p') {
    value.kind = Kind::kPointer;
    value.bits = static_cast<std::int64_t>(input.Bits(sizeof(void*)));
  } else if (conversion == 'n') {
    value.kind = Kind::kCount;
    d.likeCLibrary = false;
  } else if (std::strchr("cC", conversion)) {
    value.bits = static_cast<std::int64_t>(input.Bits(2));
    d.likeCLibrary = false;
  } else if (std::strchr("sS", conversion)) {
    const bool upper = conversion == 'S';
    const bool wideArgument = modifier.stringWidth != 0 ? modifier.stringWidth > 0 : (upper != wideText);
    const std::uint8_t pick = input.Byte() % 6;
    value.kind = wideArgument ? Kind::kWide : Kind::kNarrow;
    value.narrow = kNarrowStrings[pick];
    value.wide = kWideStrings[pick];
    // The same-width copy of an ASCII string is what snprintf does too.
    d.likeCLibrary = d.likeCLibrary && !wideText && !wideArgument && pick < 3 && modifier.text[0] == '\0';
  } else {
    d.likeCLibrary = false;
    if (conversion != '%') d.args.clear();  // a letter that is no conversion takes nothing, not even its stars
    return d;
  }
  d.args.push_back(value);
  return d;
}

// Serves a list of arguments and stops the run at any request of another kind or beyond the list.
class StrictArguments final : public tellit::FormatArguments {
 public:
  explicit StrictArguments(const std::vector<Arg>& args) : args_(args) {}
  std::int32_t NextInt32() override { return static_cast<std::int32_t>(Take(Kind::kInt).bits); }
  std::int64_t NextInt64() override { return Take(Kind::kSigned64).bits; }
  std::uint64_t NextUInt64() override { return static_cast<std::uint64_t>(Take(Kind::kUnsigned64).bits); }
  double NextDouble() override { return Take(Kind::kDouble).real; }
  double NextLongDouble() override { return Take(Kind::kLongDouble).real; }
  const void* NextPointer() override {
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(Take(Kind::kPointer).bits));
  }
  const void* NextCountPointer() override {
    Take(Kind::kCount);
    return &countTarget;
  }
  int NextFieldValue() override { return static_cast<int>(Take(Kind::kStar).bits); }
  const char* NextNarrowString() override { return Take(Kind::kNarrow).narrow; }
  const wchar_t* NextWideString() override { return Take(Kind::kWide).wide; }
  std::size_t taken() const { return next_; }

 private:
  const Arg& Take(Kind kind) {
    if (next_ >= args_.size() || args_[next_].kind != kind) std::abort();  // a shifted or wrong argument
    return args_[next_++];
  }
  const std::vector<Arg>& args_;
  std::size_t next_ = 0;
};

// Answers any request from the input's bytes, for formats whose directives the harness did not build.
class AnyArguments final : public tellit::FormatArguments {
 public:
  explicit AnyArguments(Input input) : input_(input) {}
  std::int32_t NextInt32() override { return static_cast<std::int32_t>(input_.Bits(4)); }
  std::int64_t NextInt64() override { return static_cast<std::int64_t>(input_.Bits(8)); }
  std::uint64_t NextUInt64() override { return input_.Bits(8); }
  double NextDouble() override {
    const std::uint64_t bits = input_.Bits(8);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  double NextLongDouble() override { return NextDouble(); }
  const void* NextPointer() override { return reinterpret_cast<const void*>(input_.Bits(sizeof(void*))); }
  const void* NextCountPointer() override { return &countTarget; }
  int NextFieldValue() override { return Star(input_); }
  const char* NextNarrowString() override { return kNarrowStrings[input_.Byte() % 6]; }
  const wchar_t* NextWideString() override { return kWideStrings[input_.Byte() % 6]; }

 private:
  Input input_;
};

template <typename Char>
std::basic_string<Char> Widen(const std::string& text) {
  std::basic_string<Char> out;
  for (unsigned char c : text) out.push_back(static_cast<Char>(c));
  return out;
}

template <typename Char>
struct Formatted {
  std::basic_string<Char> text;
  FormatOutcome outcome;
};

// Formats into a buffer filled with `garbage` beforehand, checking the NUL after the text.
template <typename Char, typename Arguments>
Formatted<Char> FormatOver(const std::basic_string<Char>& format, Arguments arguments, std::uint32_t capacity,
                           unsigned char garbage) {
  std::unique_ptr<Char[]> buffer(new Char[capacity]);
  std::memset(buffer.get(), garbage, capacity * sizeof(Char));
  FakeCodePage codePage;
  const FormatOutcome outcome = tellit::FormatText(format.c_str(), buffer.get(), capacity, arguments, codePage);
  if (outcome.length >= capacity || buffer[outcome.length] != Char{}) std::abort();
  return {std::basic_string<Char>(buffer.get(), outcome.length), outcome};
}

template <typename Char>
Formatted<Char> ThroughVaList(const Char* format, ...) {
  std::unique_ptr<Char[]> buffer(new Char[kDirectiveCapacity]);
  std::memset(buffer.get(), 0xA5, kDirectiveCapacity * sizeof(Char));
  va_list list;
  va_start(list, format);
  tellit::VaListArguments arguments(list);
  FakeCodePage codePage;
  const FormatOutcome outcome = tellit::FormatText(format, buffer.get(), kDirectiveCapacity, arguments, codePage);
  va_end(list);
  return {std::basic_string<Char>(buffer.get(), outcome.length), outcome};
}

// Calls `call` with the C value of `arg` (none for %%).
template <typename Call>
auto WithValue(const Arg* arg, Call call) {
  if (arg == nullptr) return call();
  switch (arg->kind) {
    case Kind::kSigned64:
      return call(static_cast<long long>(arg->bits));
    case Kind::kUnsigned64:
      return call(static_cast<unsigned long long>(arg->bits));
    case Kind::kDouble:
      return call(arg->real);
    case Kind::kLongDouble:
      return call(static_cast<long double>(arg->real));
    case Kind::kPointer:
      return call(reinterpret_cast<void*>(static_cast<std::uintptr_t>(arg->bits)));
    case Kind::kCount:
      return call(static_cast<void*>(&countTarget));
    case Kind::kNarrow:
      return call(arg->narrow);
    case Kind::kWide:
      return call(arg->wide);
    default:
      return call(static_cast<int>(arg->bits));
  }
}

// Calls `call` with the directive's stars and then its value, as C arguments.
template <typename Call>
auto WithArguments(const Directive& d, Call call) {
  std::size_t stars = 0;
  while (stars < d.args.size() && d.args[stars].kind == Kind::kStar) ++stars;
  const Arg* value = stars < d.args.size() ? &d.args[stars] : nullptr;
  const int first = stars > 0 ? static_cast<int>(d.args[0].bits) : 0;
  const int second = stars > 1 ? static_cast<int>(d.args[1].bits) : 0;
  switch (stars) {
    case 0:
      return WithValue(value, [&](auto... v) { return call(v...); });
    case 1:
      return WithValue(value, [&](auto... v) { return call(first, v...); });
    default:
      return WithValue(value, [&](auto... v) { return call(first, second, v...); });
  }
}

template <typename Char>
void CheckDirective(const Directive& d) {
  const std::basic_string<Char> format = Widen<Char>(d.text);
  const Formatted<Char> table = FormatOver(format, StrictArguments(d.args), kDirectiveCapacity, 0x5A);
  if (table.outcome.overflowed) return;
  const Formatted<Char> real = WithArguments(d, [&](auto... a) { return ThroughVaList<Char>(format.c_str(), a...); });
  if (real.text != table.text) std::abort();  // the va_list was read at other types or places
  if constexpr (sizeof(Char) == 1) {
    if (!d.likeCLibrary) return;
    std::vector<char> reference(table.text.size() + 2);
    const int n = WithArguments(
        // The 0 after the arguments is never read; it keeps the call from being one without any.
        d, [&](auto... a) { return std::snprintf(reference.data(), reference.size(), d.text.c_str(), a..., 0); });
    if (n < 0 || std::string(reference.data()) != table.text) std::abort();
  }
}

template <typename Char, typename MakeArguments>
void CheckCuts(const std::basic_string<Char>& format, MakeArguments makeArguments, std::uint32_t smallCapacity) {
  const Formatted<Char> whole = FormatOver(format, makeArguments(), kLargeCapacity, 0xA5);
  const Formatted<Char> again = FormatOver(format, makeArguments(), kLargeCapacity, 0x5A);
  if (again.text != whole.text || again.outcome.overflowed != whole.outcome.overflowed) std::abort();
  if (whole.outcome.overflowed) return;  // no reference to compare the cut run with

  const Formatted<Char> cut = FormatOver(format, makeArguments(), smallCapacity, 0xA5);
  const std::size_t wholeLength = whole.text.size();
  const std::size_t kept = wholeLength < smallCapacity ? wholeLength : smallCapacity - 1;
  // A converted double-byte character that does not fit whole leaves one unit unused.
  if (cut.text.size() > kept || cut.text.size() + 1 < kept) std::abort();
  if (whole.text.compare(0, cut.text.size(), cut.text) != 0) std::abort();
  if (cut.outcome.overflowed != (wholeLength >= smallCapacity)) std::abort();
}

template <typename Char>
void CheckBuilt(Input& input, std::uint32_t smallCapacity) {
  constexpr bool kWide = sizeof(Char) > 1;
  std::string format;
  std::vector<Arg> args;
  for (int pieces = 0; !input.empty() && pieces < 12; ++pieces) {
    const std::uint8_t choice = input.Byte();
    if (choice < 0x40) {
      // Literal text, never a percent sign or a NUL.
      for (int n = choice % 6 + 1; n > 0; --n) {
        const char c = static_cast<char>(input.Byte());
        format += c == '%' || c == '\0' ? '#' : c;
      }
      continue;
    }
    const Directive d = MakeDirective(input, kWide);
    CheckDirective<Char>(d);
    format += d.text;
    args.insert(args.end(), d.args.begin(), d.args.end());
  }
  const std::basic_string<Char> text = Widen<Char>(format);
  const Formatted<Char> whole = FormatOver(text, StrictArguments(args), kLargeCapacity, 0x33);
  if (!whole.outcome.overflowed) {
    StrictArguments all(args);
    std::unique_ptr<Char[]> buffer(new Char[kLargeCapacity]);
    FakeCodePage codePage;
    tellit::FormatText(text.c_str(), buffer.get(), kLargeCapacity, all, codePage);
    if (all.taken() != args.size()) std::abort();  // an argument the format asks for was left
  }
  CheckCuts(text, [&] { return StrictArguments(args); }, smallCapacity);
  if (countTarget != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint32_t smallCapacity = 1 + data[0];
  const bool wide = data[1] & 1;
  const bool raw = data[1] & 2;
  Input input(data + 2, size - 2);
  if (!raw) {
    if (wide) {
      CheckBuilt<wchar_t>(input, smallCapacity);
    } else {
      CheckBuilt<char>(input, smallCapacity);
    }
    return 0;
  }
  // A raw format runs to the first 0xFF byte; the bytes after it answer the engine's requests.
  data += 2;
  size -= 2;
  std::size_t formatEnd = 0;
  while (formatEnd < size && data[formatEnd] != 0xFF) ++formatEnd;
  const std::size_t argumentsAt = formatEnd + (formatEnd < size ? 1 : 0);
  auto arguments = [&] { return AnyArguments(Input(data + argumentsAt, size - argumentsAt)); };
  if (wide) {
    // Two input bytes per wide character, so any 16-bit unit can appear in the format.
    std::wstring format;
    for (std::size_t i = 0; i + 1 < formatEnd; i += 2) {
      const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
      if (unit == 0) break;
      format.push_back(unit);
    }
    CheckCuts(format, arguments, smallCapacity);
  } else {
    std::string format(reinterpret_cast<const char*>(data), formatEnd);
    format.resize(std::strlen(format.c_str()));
    CheckCuts(format, arguments, smallCapacity);
  }
  if (countTarget != 0) std::abort();
  return 0;
}
