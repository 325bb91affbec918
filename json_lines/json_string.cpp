// JSON strings: escaping and reading back.
#include "json_lines/json_string.h"

#include <cstdint>

namespace json_lines {

void AppendJsonString(std::string& out, std::string_view utf8) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  size_t plain = 0;  // the start of the run of bytes that need no escape
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte >= 0x20 && byte != '"' && byte != '\\' && byte != 0x7F) continue;
    out.append(utf8.data() + plain, i - plain);
    plain = i + 1;
    switch (byte) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        out += "\\u00";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
  }
  out.append(utf8.data() + plain, utf8.size() - plain);
  out += '"';
}

namespace {

bool ReadHex4(std::string_view text, size_t at, uint32_t& value) {
  if (at + 4 > text.size()) return false;
  value = 0;
  for (size_t i = at; i < at + 4; ++i) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0) return false;
    value = value * 16 + uint32_t(digit);
  }
  return true;
}

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | code >> 6);
    out += char(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += char(0xE0 | code >> 12);
    out += char(0x80 | (code >> 6 & 0x3F));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xF0 | code >> 18);
    out += char(0x80 | (code >> 12 & 0x3F));
    out += char(0x80 | (code >> 6 & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

constexpr uint32_t kReplacement = 0xFFFD;

}  // namespace

bool ReadJsonString(std::string_view text, size_t& at, std::string& out) {
  if (at >= text.size() || text[at] != '"') return false;
  ++at;
  while (at < text.size()) {
    // The run up to the next quote, backslash or control byte goes over whole.
    size_t end = at;
    while (end < text.size() && text[end] != '"' && text[end] != '\\' && static_cast<unsigned char>(text[end]) >= 0x20)
      ++end;
    out.append(text.data() + at, end - at);
    at = end;
    if (at >= text.size()) return false;
    const char c = text[at];
    if (c == '"') {
      ++at;
      return true;
    }
    if (c != '\\') return false;  // a raw control byte
    if (++at >= text.size()) return false;
    const char escape = text[at++];
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
        uint32_t code = 0;
        if (!ReadHex4(text, at, code)) return false;
        at += 4;
        if (code >= 0xD800 && code <= 0xDBFF) {
          uint32_t low = 0;
          if (at + 1 < text.size() && text[at] == '\\' && text[at + 1] == 'u' && ReadHex4(text, at + 2, low) &&
              low >= 0xDC00 && low <= 0xDFFF) {
            at += 6;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else {
            code = kReplacement;
          }
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
          code = kReplacement;
        }
        AppendUtf8(out, code);
        break;
      }
      default:
        return false;
    }
  }
  return false;
}

}  // namespace json_lines
