// ReadJsonLine: a small recursive-descent reader for the capture's JSON lines.
#include "json_line_reader.h"

#include <cstdint>

namespace {

class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}

  bool Line(JsonLine& out, std::string& error) {
    if (!Take('{')) return Fail(error, "no opening brace");
    if (Take('}')) return AtEnd() || Fail(error, "text after the object");
    do {
      std::string key;
      if (!String(key)) return Fail(error, "a key that is no string");
      if (!Take(':')) return Fail(error, "no colon after " + key);
      if (out.strings.count(key) || out.numbers.count(key)) return Fail(error, "key given twice: " + key);
      if (Peek() == '"') {
        std::string value;
        if (!String(value)) return Fail(error, "a bad string for " + key);
        out.strings[key] = value;
      } else {
        unsigned long long value = 0;
        if (!Number(value)) return Fail(error, "a bad value for " + key);
        out.numbers[key] = value;
      }
      out.order.push_back(key);
    } while (Take(','));
    if (!Take('}')) return Fail(error, "no closing brace");
    return AtEnd() || Fail(error, "text after the object");
  }

 private:
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  bool Take(char c) {
    if (Peek() != c || at_ >= text_.size()) return false;
    ++at_;
    return true;
  }
  bool AtEnd() const { return at_ == text_.size(); }
  bool Fail(std::string& error, const std::string& what) {
    error = what + " at offset " + std::to_string(at_);
    return false;
  }

  bool Hex4(uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = Peek();
      uint32_t digit;
      if (c >= '0' && c <= '9') digit = c - '0';
      else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      else return false;
      value = value << 4 | digit;
      ++at_;
    }
    return true;
  }

  static void Utf8(std::string& out, uint32_t point) {
    if (point < 0x80) {
      out += static_cast<char>(point);
    } else if (point < 0x800) {
      out += static_cast<char>(0xC0 | (point >> 6));
      out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
      out += static_cast<char>(0xE0 | (point >> 12));
      out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (point >> 18));
      out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (point & 0x3F));
    }
  }

  bool String(std::string& out) {
    if (!Take('"')) return false;
    for (;;) {
      if (at_ >= text_.size()) return false;
      const char c = text_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;  // JSON allows no raw control character
      if (c != '\\') {
        out += c;
        continue;
      }
      const char escape = text_[at_ < text_.size() ? at_++ : at_];
      switch (escape) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          uint32_t point = 0;
          if (!Hex4(point)) return false;
          if (point >= 0xD800 && point <= 0xDBFF) {
            uint32_t low = 0;
            if (!Take('\\') || !Take('u') || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
            point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
          } else if (point >= 0xDC00 && point <= 0xDFFF) {
            return false;
          }
          Utf8(out, point);
          break;
        }
        default:
          return false;
      }
    }
  }

  bool Number(unsigned long long& value) {
    const std::size_t start = at_;
    value = 0;
    while (Peek() >= '0' && Peek() <= '9') value = value * 10 + static_cast<unsigned>(text_[at_++] - '0');
    return at_ > start && !(at_ - start > 1 && text_[start] == '0');
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

}  // namespace

bool ReadJsonLine(const std::string& line, JsonLine& out, std::string& error) {
  out = JsonLine();
  return Reader(line).Line(out, error);
}
