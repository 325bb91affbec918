// Writing and reading the saved form of a filter rule.
#include "filtering/rule_text.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace filtering {

namespace {

constexpr char kSeparator = ';';
constexpr std::size_t kFieldsBeforePattern = 6;

const char* ActionName(FilterAction action) {
  switch (action) {
    case FilterAction::kInclude: return "include";
    case FilterAction::kExclude: return "exclude";
    case FilterAction::kHighlight: return "highlight";
  }
  return "";
}

const char* FieldName(FilterField field) {
  switch (field) {
    case FilterField::kText: return "text";
    case FilterField::kProgram: return "program";
    case FilterField::kProcessId: return "pid";
  }
  return "";
}

bool ParseAction(std::string_view text, FilterAction& action) {
  for (const FilterAction candidate : {FilterAction::kInclude, FilterAction::kExclude, FilterAction::kHighlight}) {
    if (text == ActionName(candidate)) {
      action = candidate;
      return true;
    }
  }
  return false;
}

bool ParseField(std::string_view text, FilterField& field) {
  for (const FilterField candidate : {FilterField::kText, FilterField::kProgram, FilterField::kProcessId}) {
    if (text == FieldName(candidate)) {
      field = candidate;
      return true;
    }
  }
  return false;
}

bool ParseFlag(std::string_view text, bool& flag) {
  if (text != "0" && text != "1") return false;
  flag = text == "1";
  return true;
}

bool ParseColour(std::string_view text, uint32_t& colour) {
  if (text.empty()) return false;
  uint32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
    if (value > kMaxColour) return false;  // also keeps the sum far from overflow
  }
  colour = value;
  return true;
}

bool UsablePattern(std::string_view pattern) {
  return !pattern.empty() && pattern.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace

std::string FormatRule(const FilterRule& rule) {
  std::string text = ActionName(rule.action);
  text += kSeparator;
  text += FieldName(rule.field);
  text += kSeparator;
  text += rule.enabled ? '1' : '0';
  text += kSeparator;
  text += rule.matchCase ? '1' : '0';
  text += kSeparator;
  text += std::to_string(rule.textColour);
  text += kSeparator;
  text += std::to_string(rule.backColour);
  text += kSeparator;
  text += rule.pattern;
  return text;
}

bool ParseRule(std::string_view text, FilterRule& rule) {
  std::string_view fields[kFieldsBeforePattern];
  for (std::string_view& field : fields) {
    const std::size_t end = text.find(kSeparator);
    if (end == std::string_view::npos) return false;
    field = text.substr(0, end);
    text.remove_prefix(end + 1);
  }
  FilterRule read;
  read.pattern = std::string(text);
  if (!ParseAction(fields[0], read.action) || !ParseField(fields[1], read.field) ||
      !ParseFlag(fields[2], read.enabled) || !ParseFlag(fields[3], read.matchCase) ||
      !ParseColour(fields[4], read.textColour) || !ParseColour(fields[5], read.backColour) ||
      !UsablePattern(read.pattern)) {
    return false;
  }
  rule = std::move(read);
  return true;
}

}  // namespace filtering
