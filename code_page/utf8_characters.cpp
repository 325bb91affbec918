// Utf8Characters: the wide ranges of East Asian text, whole characters, UTF-16 and foldings.
#include "code_page/utf8_characters.h"

#include <algorithm>
#include <iterator>

namespace code_page {
namespace {

struct Range {
  char32_t first, last;
};

// Wide and full-width characters (two cells in any East Asian text), in order.
constexpr Range kWide[] = {
    {0x1100, 0x115F}, {0x231A, 0x231B}, {0x2329, 0x232A}, {0x23E9, 0x23EC}, {0x23F0, 0x23F0},
    {0x23F3, 0x23F3}, {0x25FD, 0x25FE}, {0x2614, 0x2615}, {0x2648, 0x2653}, {0x267F, 0x267F},
    {0x2693, 0x2693}, {0x26A1, 0x26A1}, {0x26AA, 0x26AB}, {0x26BD, 0x26BE}, {0x26C4, 0x26C5},
    {0x26CE, 0x26CE}, {0x26D4, 0x26D4}, {0x26EA, 0x26EA}, {0x26F2, 0x26F3}, {0x26F5, 0x26F5},
    {0x26FA, 0x26FA}, {0x26FD, 0x26FD}, {0x2705, 0x2705}, {0x270A, 0x270B}, {0x2728, 0x2728},
    {0x274C, 0x274C}, {0x274E, 0x274E}, {0x2753, 0x2755}, {0x2757, 0x2757}, {0x2795, 0x2797},
    {0x27B0, 0x27B0}, {0x27BF, 0x27BF}, {0x2B1B, 0x2B1C}, {0x2B50, 0x2B50}, {0x2B55, 0x2B55},
    {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xA000, 0xA4CF},
    {0xA960, 0xA97F}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFE10, 0xFE19}, {0xFE30, 0xFE6F},
    {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF},
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251},
    {0x1F300, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

// Characters whose width depends on the text around them, which the double-byte code pages
// (and their fonts) set in two cells: what those code pages hold besides ideographs and kana.
constexpr Range kAmbiguous[] = {
    {0x00A7, 0x00A8}, {0x00B0, 0x00B1}, {0x00B4, 0x00B4}, {0x00B6, 0x00B6}, {0x00D7, 0x00D7},
    {0x00F7, 0x00F7}, {0x0391, 0x03A9}, {0x03B1, 0x03C9}, {0x0401, 0x0401}, {0x0410, 0x044F},
    {0x0451, 0x0451}, {0x2010, 0x203B}, {0x2103, 0x2103}, {0x2116, 0x2116}, {0x2121, 0x2121},
    {0x212B, 0x212B}, {0x2160, 0x217F}, {0x2190, 0x22FF}, {0x2312, 0x2312}, {0x2460, 0x24FF},
    {0x2500, 0x257F}, {0x25A0, 0x25FF}, {0x2600, 0x26FF},
};

template <std::size_t N>
bool InRanges(const Range (&ranges)[N], char32_t c) {
  const Range* end = ranges + N;
  const Range* at = std::upper_bound(ranges, end, c, [](char32_t value, const Range& r) { return value < r.first; });
  return at != ranges && c <= std::prev(at)->last;
}

}  // namespace

bool IsWide(char32_t codePoint, bool ambiguousWide) {
  if (codePoint < 0x1100) return ambiguousWide && codePoint >= 0xA7 && InRanges(kAmbiguous, codePoint);
  return InRanges(kWide, codePoint) || (ambiguousWide && InRanges(kAmbiguous, codePoint));
}

std::size_t WholeUtf8(const uint8_t* text, std::size_t length) {
  // Only the last three bytes can belong to a character cut short.
  std::size_t start = length;
  for (std::size_t back = 0; back < 4 && start > 0; ++back) {
    --start;
    if ((text[start] & 0xC0) != 0x80) break;
  }
  if (start == length) return length;
  const uint8_t lead = text[start];
  const std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return length - start < need && lead >= 0xC0 ? start : length;
}

void AppendUtf16(std::u16string& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(char16_t(codePoint));
    return;
  }
  const char32_t v = codePoint - 0x10000;
  out.push_back(char16_t(0xD800 + (v >> 10)));
  out.push_back(char16_t(0xDC00 + (v & 0x3FF)));
}

UnicodeFolding UnicodeFolding::None() { return UnicodeFolding(); }

UnicodeFolding UnicodeFolding::Ascii() {
  std::vector<char16_t> lower(0x80);
  for (char16_t c = 0; c < 0x80; ++c) lower[c] = c >= 'A' && c <= 'Z' ? char16_t(c - 'A' + 'a') : c;
  return FromTable(std::move(lower));
}

UnicodeFolding UnicodeFolding::FromTable(std::vector<char16_t> lower) {
  UnicodeFolding folding;
  // A surrogate folds to nothing else: it is never a character of its own.
  for (std::size_t c = 0xD800; c < std::min<std::size_t>(lower.size(), 0xE000); ++c) lower[c] = char16_t(c);
  folding.lower_ = std::move(lower);
  return folding;
}

}  // namespace code_page
