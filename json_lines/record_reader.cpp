// Reading one JSON line back into a message record: a flat object whose known keys are checked
// for their types and whose unknown ones are passed over, nested values among them.
#include <cstdint>

#include "json_lines/json_string.h"
#include "json_lines/record.h"

namespace json_lines {

namespace {

// Nesting deeper than this in an unknown value is taken for garbage, not walked.
constexpr int kDeepestNesting = 64;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void SkipBlanks(std::string_view text, size_t& at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
}

bool ReadNumber(std::string_view text, size_t& at, uint32_t& value) {
  const size_t start = at;
  uint64_t read = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    read = read * 10 + uint64_t(text[at] - '0');
    if (read > UINT32_MAX) return false;
    ++at;
  }
  if (at == start) return false;
  // A fraction or an exponent makes it no count.
  if (at < text.size() && (text[at] == '.' || text[at] == 'e' || text[at] == 'E')) return false;
  value = uint32_t(read);
  return true;
}

bool ReadWord(std::string_view text, size_t& at, std::string_view word) {
  if (text.substr(at, word.size()) != word) return false;
  at += word.size();
  return true;
}

// Passes over any JSON value; false when it is not one.
bool SkipValue(std::string_view text, size_t& at, int depth) {
  if (depth > kDeepestNesting || at >= text.size()) return false;
  const char c = text[at];
  if (c == '"') {
    std::string ignored;
    return ReadJsonString(text, at, ignored);
  }
  if (c == '{' || c == '[') {
    const char close = c == '{' ? '}' : ']';
    ++at;
    SkipBlanks(text, at);
    if (at < text.size() && text[at] == close) {
      ++at;
      return true;
    }
    for (;;) {
      if (c == '{') {
        std::string ignored;
        if (!ReadJsonString(text, at, ignored)) return false;
        SkipBlanks(text, at);
        if (at >= text.size() || text[at] != ':') return false;
        ++at;
        SkipBlanks(text, at);
      }
      if (!SkipValue(text, at, depth + 1)) return false;
      SkipBlanks(text, at);
      if (at >= text.size()) return false;
      if (text[at] == close) {
        ++at;
        return true;
      }
      if (text[at] != ',') return false;
      ++at;
      SkipBlanks(text, at);
    }
  }
  if (ReadWord(text, at, "true") || ReadWord(text, at, "false") || ReadWord(text, at, "null")) return true;
  // A number of any form.
  const size_t start = at;
  if (at < text.size() && text[at] == '-') ++at;
  while (at < text.size() && ((text[at] >= '0' && text[at] <= '9') || text[at] == '.' || text[at] == 'e' ||
                              text[at] == 'E' || text[at] == '+' || text[at] == '-'))
    ++at;
  return at > start && (text[at - 1] >= '0' && text[at - 1] <= '9');
}

bool ReadTime(std::string_view text, size_t& at, UtcTime& time) {
  std::string value;
  return ReadJsonString(text, at, value) && ParseIso8601(value, time);
}

bool ReadSource(std::string_view text, size_t& at, Source& source) {
  std::string value;
  if (!ReadJsonString(text, at, value)) return false;
  if (value == "tellit") source = Source::kTellit;
  else if (value == "debug") source = Source::kDebugOutput;
  else if (value == "debug-output-global") source = Source::kDebugOutputGlobal;
  else return false;
  return true;
}

bool ReadBool(std::string_view text, size_t& at, bool& value) {
  if (ReadWord(text, at, "true")) value = true;
  else if (ReadWord(text, at, "false")) value = false;
  else return false;
  return true;
}

// One key's value into the record; false when it has the wrong type.
bool ReadField(std::string_view key, std::string_view text, size_t& at, Record& record, bool& hasTime,
               bool& hasText) {
  if (key == "time") return hasTime = ReadTime(text, at, record.time);
  if (key == "source") return ReadSource(text, at, record.source);
  if (key == "pid") return record.hasProcessId = ReadNumber(text, at, record.processId);
  if (key == "program") {
    record.program.clear();
    return ReadJsonString(text, at, record.program);
  }
  if (key == "tid") return record.hasSender = ReadNumber(text, at, record.threadId);
  if (key == "seq") return record.hasSender = ReadNumber(text, at, record.sequence);
  if (key == "sent") return record.hasSender = ReadTime(text, at, record.sent);
  if (key == "lost") return ReadNumber(text, at, record.lost);
  if (key == "cut") return ReadBool(text, at, record.cut);
  if (key == "kind") {
    std::string kind;
    if (!ReadJsonString(text, at, kind)) return false;
    record.notice = kind == "notice";
    return true;
  }
  if (key == "text") {
    record.text.clear();
    return hasText = ReadJsonString(text, at, record.text);
  }
  return SkipValue(text, at, 1);
}

}  // namespace

ReadResult ReadRecord(std::string_view line, Record& record) {
  size_t at = 0;
  SkipBlanks(line, at);
  if (at == line.size()) return ReadResult::kBlank;
  if (line[at] != '{') return ReadResult::kMalformed;
  ++at;
  record = Record();
  bool hasTime = false, hasText = false;
  SkipBlanks(line, at);
  if (at < line.size() && line[at] == '}') {
    ++at;
  } else {
    std::string key;
    for (;;) {
      key.clear();
      if (!ReadJsonString(line, at, key)) return ReadResult::kMalformed;
      SkipBlanks(line, at);
      if (at >= line.size() || line[at] != ':') return ReadResult::kMalformed;
      ++at;
      SkipBlanks(line, at);
      if (!ReadField(key, line, at, record, hasTime, hasText)) return ReadResult::kMalformed;
      SkipBlanks(line, at);
      if (at >= line.size()) return ReadResult::kMalformed;
      if (line[at] == '}') {
        ++at;
        break;
      }
      if (line[at] != ',') return ReadResult::kMalformed;
      ++at;
      SkipBlanks(line, at);
    }
  }
  SkipBlanks(line, at);
  if (at != line.size() || !hasTime || (!hasText && record.lost == 0)) return ReadResult::kMalformed;
  return ReadResult::kRecord;
}

}  // namespace json_lines
