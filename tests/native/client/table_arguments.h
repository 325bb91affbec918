// An argument source for formatter tests: typed values from a table, checking what is asked for.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "client/format_arguments.h"

namespace tellit::testing {

// One value a test passes to the formatter, of the kind the formatter must ask for.
struct Value {
  enum Kind {
    kInt32,         // NextInt32
    kInt64,         // NextInt64 or NextUInt64: the size decides where later arguments are read
    kDouble,        // NextDouble
    kLongDouble,    // NextLongDouble
    kPointer,       // NextPointer
    kCountPointer,  // NextCountPointer
    kStar,          // NextFieldValue
    kString,        // the text's own width: narrow in tellitf, wide in tellitwf
    kOtherString,   // the other width: wide in tellitf, narrow in tellitwf
    kNarrowString,  // narrow in both
    kWideString,    // wide in both
  } kind;
  std::int64_t integer = 0;
  double real = 0.0;
  bool null = false;
  std::string narrow;  // the bytes of a string value
  std::wstring wide;   // its wide form: the bytes widened one by one, unless given wide
};

inline Value Number(Value::Kind kind, std::int64_t v) { return Value{kind, v, 0.0, false, {}, {}}; }
inline Value I32(std::int32_t v) { return Number(Value::kInt32, v); }
inline Value U32(std::uint32_t v) { return Number(Value::kInt32, static_cast<std::int32_t>(v)); }
inline Value I64(std::int64_t v) { return Number(Value::kInt64, v); }
inline Value U64(std::uint64_t v) { return Number(Value::kInt64, static_cast<std::int64_t>(v)); }
inline Value Star(int v) { return Number(Value::kStar, v); }
inline Value Ptr(std::uintptr_t v) { return Number(Value::kPointer, static_cast<std::int64_t>(v)); }
inline Value CountPtr() { return Number(Value::kCountPointer, 0); }
inline Value F64(double v) { return Value{Value::kDouble, 0, v, false, {}, {}}; }
inline Value LD(double v) { return Value{Value::kLongDouble, 0, v, false, {}, {}}; }

inline Value Text(Value::Kind kind, const char* v) {
  Value value{kind, 0, 0.0, v == nullptr, v ? v : "", {}};
  for (unsigned char c : value.narrow) value.wide.push_back(static_cast<wchar_t>(c));
  return value;
}
inline Value Str(const char* v) { return Text(Value::kString, v); }
inline Value Other(const char* v) { return Text(Value::kOtherString, v); }
inline Value NStr(const char* v) { return Text(Value::kNarrowString, v); }
inline Value WStr(const char* v) { return Text(Value::kWideString, v); }
// A wide string argument with characters beyond ASCII.
inline Value Wide(const wchar_t* v) { return Value{Value::kWideString, 0, 0.0, false, {}, v}; }

template <typename Char>
class TableArguments final : public FormatArguments {
 public:
  explicit TableArguments(std::vector<Value> values) : values_(std::move(values)) {}

  std::int32_t NextInt32() override { return static_cast<std::int32_t>(Take(Value::kInt32).integer); }
  std::int64_t NextInt64() override { return Take(Value::kInt64).integer; }
  std::uint64_t NextUInt64() override { return static_cast<std::uint64_t>(Take(Value::kInt64).integer); }
  double NextDouble() override { return Take(Value::kDouble).real; }
  double NextLongDouble() override { return Take(Value::kLongDouble).real; }
  const void* NextPointer() override {
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(Take(Value::kPointer).integer));
  }
  const void* NextCountPointer() override {
    Take(Value::kCountPointer);
    return &countTarget_;
  }
  int NextFieldValue() override { return static_cast<int>(Take(Value::kStar).integer); }
  const char* NextNarrowString() override {
    const Value& v = Take(Value::kNarrowString, kNarrowText ? Value::kString : Value::kOtherString);
    return v.null ? nullptr : v.narrow.c_str();
  }
  const wchar_t* NextWideString() override {
    const Value& v = Take(Value::kWideString, kNarrowText ? Value::kOtherString : Value::kString);
    return v.null ? nullptr : v.wide.c_str();
  }

  std::size_t consumed() const { return next_; }
  // What a %n pointed at, still as it was: the formatter never stores through it.
  int countTarget() const { return countTarget_; }

 private:
  static constexpr bool kNarrowText = sizeof(Char) == 1;

  const Value& Take(Value::Kind expected, Value::Kind alsoAccepted) {
    static const Value kMissing = I32(0);
    if (next_ >= values_.size()) {
      ADD_FAILURE() << "the formatter asked for argument " << next_ + 1 << " of " << values_.size();
      return kMissing;
    }
    const Value& v = values_[next_++];
    if (v.kind != expected && v.kind != alsoAccepted) {
      ADD_FAILURE() << "argument " << next_ << " was asked for as kind " << expected << " but is kind " << v.kind;
    }
    return v;
  }
  const Value& Take(Value::Kind expected) { return Take(expected, expected); }

  std::vector<Value> values_;
  std::size_t next_ = 0;
  int countTarget_ = -12345;
};

}  // namespace tellit::testing
