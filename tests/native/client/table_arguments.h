// An argument source for formatter tests: typed values from a table, checking what is asked for.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "client/format_engine.h"

namespace tellit::testing {

// One value a test passes to the formatter. kString answers a narrow request in tellitf and a
// wide request in tellitwf; kWideString must always be asked for as a wide string.
struct Value {
  enum Kind { kInt32, kInt64, kDouble, kString, kWideString } kind;
  std::int64_t integer = 0;
  double real = 0.0;
  const char* text = nullptr;  // ASCII, or null for a null pointer
};

inline Value I32(std::int32_t v) { return Value{Value::kInt32, v, 0.0, nullptr}; }
inline Value I64(std::int64_t v) { return Value{Value::kInt64, v, 0.0, nullptr}; }
inline Value F64(double v) { return Value{Value::kDouble, 0, v, nullptr}; }
inline Value Str(const char* v) { return Value{Value::kString, 0, 0.0, v}; }
inline Value WStr(const char* v) { return Value{Value::kWideString, 0, 0.0, v}; }

template <typename Char>
class TableArguments final : public FormatArguments {
 public:
  explicit TableArguments(std::vector<Value> values) : values_(std::move(values)) {
    for (const Value& v : values_) {
      narrow_.emplace_back(v.text ? v.text : "");
      wide_.emplace_back(narrow_.back().begin(), narrow_.back().end());
    }
  }

  std::int32_t NextInt32() override { return static_cast<std::int32_t>(Take(Value::kInt32).integer); }
  std::int64_t NextInt64() override { return Take(Value::kInt64).integer; }
  double NextDouble() override { return Take(Value::kDouble).real; }
  const char* NextNarrowString() override {
    const std::size_t i = next_;
    const Value& v = Take(Value::kString);
    if (sizeof(Char) > 1) ADD_FAILURE() << "the wide formatter asked for a narrow string";
    return v.text ? narrow_[i].c_str() : nullptr;
  }
  const wchar_t* NextWideString() override {
    const std::size_t i = next_;
    const bool narrowCall = sizeof(Char) == 1;
    const Value& v = Take(narrowCall ? Value::kWideString : Value::kString, Value::kWideString);
    return v.text ? wide_[i].c_str() : nullptr;
  }

  std::size_t consumed() const { return next_; }

 private:
  const Value& Take(Value::Kind expected, Value::Kind alsoAccepted) {
    static const Value kMissing{Value::kInt32, 0, 0.0, nullptr};
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
  std::vector<std::string> narrow_;
  std::vector<std::wstring> wide_;
  std::size_t next_ = 0;
};

}  // namespace tellit::testing
