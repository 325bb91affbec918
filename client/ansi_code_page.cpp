// Conversion through the ANSI code page in chunks, keeping whole characters at every cut.
#include "client/ansi_code_page.h"

#include <cstring>

namespace tellit {
namespace {

// Units converted per system call: the stack buffers hold a chunk's worst case (three bytes of
// UTF-8 per wide unit), and no call needs the length of the whole string first.
constexpr std::size_t kChunk = 256;

bool IsHighSurrogate(wchar_t unit) noexcept { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

std::size_t AnsiCodePage::CharacterBytes(const char* text, std::size_t available) const noexcept {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (codePage_ == CP_UTF8) {
    const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                                                : (lead & 0xF8) == 0xF0 ? 4 : 1;
    // A broken sequence is taken byte by byte; one that runs past `available` stays whole.
    for (std::size_t i = 1; i < length && i < available; ++i) {
      if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
    }
    return length;
  }
  return IsDBCSLeadByteEx(codePage_, lead) ? 2 : 1;
}

std::size_t AnsiCodePage::WholeCharacters(const char* text, std::size_t length) const noexcept {
  // Trail bytes of double-byte code pages can look like lead bytes: walk from the start.
  std::size_t whole = 0;
  while (whole < length) {
    const std::size_t next = whole + CharacterBytes(text + whole, length - whole);
    if (next > length) break;
    whole = next;
  }
  return whole;
}

Converted AnsiCodePage::ToNarrow(const wchar_t* text, char* out, std::size_t room) noexcept {
  char bytes[kChunk * 3];
  std::size_t written = 0;
  for (;;) {
    std::size_t units = 0;
    while (units < kChunk && text[units] != L'\0') ++units;
    if (units == 0) return {written, true};
    if (units == kChunk && IsHighSurrogate(text[units - 1])) --units;  // the pair goes whole into the next chunk
    const int made = WideCharToMultiByte(codePage_, 0, text, static_cast<int>(units), bytes,
                                         static_cast<int>(sizeof bytes), nullptr, nullptr);
    std::size_t count = made > 0 ? static_cast<std::size_t>(made) : 0;
    const bool fits = count <= room - written;
    if (!fits) count = WholeCharacters(bytes, room - written);
    if (out) std::memcpy(out + written, bytes, count);
    written += count;
    if (!fits) return {written, false};
    text += units;
  }
}

bool AnsiCodePage::GivesBack(const char* narrow, std::size_t bytes, const wchar_t* wide, std::size_t units,
                             std::size_t& matched) const noexcept {
  wchar_t back[kChunk];
  matched = 0;
  while (bytes > 0) {
    // A chunk of whole characters gives at most one unit per byte in the code pages this is asked of.
    std::size_t take = bytes <= kChunk ? bytes : WholeCharacters(narrow, kChunk);
    if (take == 0) take = 1;
    const int made = MultiByteToWideChar(codePage_, 0, narrow, static_cast<int>(take), back, static_cast<int>(kChunk));
    if (made <= 0) return false;
    const auto count = static_cast<std::size_t>(made);
    if (count > units - matched || std::memcmp(back, wide + matched, count * sizeof(wchar_t)) != 0) return false;
    matched += count;
    narrow += take;
    bytes -= take;
  }
  return true;
}

std::size_t AnsiCodePage::NarrowBytes(const wchar_t* wide, std::size_t units) const noexcept {
  const int made = WideCharToMultiByte(codePage_, 0, wide, static_cast<int>(units), nullptr, 0, nullptr, nullptr);
  return made > 0 ? static_cast<std::size_t>(made) : 0;
}

Converted AnsiCodePage::ToWide(const char* text, wchar_t* out, std::size_t room) noexcept {
  wchar_t units[kChunk];
  std::size_t written = 0;
  for (;;) {
    std::size_t bytes = 0;
    while (bytes < kChunk && text[bytes] != '\0') ++bytes;
    if (bytes == 0) return {written, true};
    if (bytes == kChunk) {
      const std::size_t whole = WholeCharacters(text, bytes);  // a character on the chunk's edge goes next
      if (whole > 0) bytes = whole;
    }
    const int made = MultiByteToWideChar(codePage_, 0, text, static_cast<int>(bytes), units, static_cast<int>(kChunk));
    std::size_t count = made > 0 ? static_cast<std::size_t>(made) : 0;
    const bool fits = count <= room - written;
    if (!fits) {
      count = room - written;
      if (count > 0 && IsHighSurrogate(units[count - 1])) --count;
    }
    if (out) std::memcpy(out + written, units, count * sizeof(wchar_t));
    written += count;
    if (!fits) return {written, false};
    text += bytes;
  }
}

}  // namespace tellit
