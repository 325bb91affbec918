// Lead and trail byte sets of a Windows code page, for a double-byte test, and the code page's
// case folding, for a search or a filter that ignores case.
#include "code_page/ansi_code_page.h"

#include <vector>

namespace {

void Mark(bool* set, int from, int to) {
  for (int b = from; b <= to; ++b) set[b] = true;
}

// GetCPInfo names only the lead bytes. Trail bytes of the double-byte code pages Windows ships:
// none of them uses a byte below 0x40 except Johab, and none uses 0x7F or 0xFF.
void MarkTrailBytes(UINT codePage, bool* trail) {
  switch (codePage) {
    case 932: Mark(trail, 0x40, 0x7E); Mark(trail, 0x80, 0xFC); break;  // Shift-JIS
    case 936: Mark(trail, 0x40, 0x7E); Mark(trail, 0x80, 0xFE); break;  // GBK
    case 949: Mark(trail, 0x41, 0x5A); Mark(trail, 0x61, 0x7A); Mark(trail, 0x81, 0xFE); break;  // UHC
    case 950: Mark(trail, 0x40, 0x7E); Mark(trail, 0xA1, 0xFE); break;  // Big5
    case 1361: Mark(trail, 0x31, 0x7E); Mark(trail, 0x81, 0xFE); break;  // Johab
    default: Mark(trail, 0x40, 0x7E); Mark(trail, 0x80, 0xFE); break;
  }
}

}  // namespace

LeadTrailSets LeadTrailSetsForCodePage(UINT codePage) {
  LeadTrailSets sets;
  CPINFO info = {};
  if (!GetCPInfo(codePage, &info) || info.MaxCharSize != 2) return sets;
  bool anyLead = false;
  for (int i = 0; i + 1 < MAX_LEADBYTES && (info.LeadByte[i] || info.LeadByte[i + 1]); i += 2) {
    Mark(sets.lead, info.LeadByte[i], info.LeadByte[i + 1]);
    anyLead = true;
  }
  if (anyLead) MarkTrailBytes(codePage, sets.trail);
  return sets;
}

LeadTrailSets LeadTrailSetsForAnsiCodePage() { return LeadTrailSetsForCodePage(GetACP()); }

CaseFolding CaseFoldingForAnsiCodePage() {
  const LeadTrailSets sets = LeadTrailSetsForAnsiCodePage();
  CaseFolding folding = CaseFolding::None();
  for (int b = 0x20; b < 256; ++b) {
    // A lead byte is never a whole character: its value says nothing about case.
    if (sets.lead[b] || !IsCharUpperA(char(b))) continue;
    char letter[2] = {char(b), '\0'};
    if (CharLowerBuffA(letter, 1) == 1) folding.lower[b] = uint8_t(letter[0]);
  }
  return folding;
}

const code_page::UnicodeFolding& UnicodeFoldingOfSystem() {
  static const code_page::UnicodeFolding folding = [] {
    std::vector<char16_t> upper(0x10000);
    for (size_t c = 0; c < upper.size(); ++c) upper[c] = c >= 0xD800 && c < 0xE000 ? u' ' : char16_t(c);
    std::vector<char16_t> lower(upper.size());
    const auto* in = reinterpret_cast<const wchar_t*>(upper.data());
    auto* out = reinterpret_cast<wchar_t*>(lower.data());
    const int length = int(upper.size());
    if (LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING, in, length, out, length,
                      nullptr, nullptr, 0) != length) {
      // A mapping that changed the length cannot be read by position: each code point alone.
      for (int c = 0; c < length; ++c) {
        wchar_t one = wchar_t(upper[size_t(c)]);
        wchar_t folded = one;
        if (LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_LOWERCASE, &one, 1, &folded, 1, nullptr, nullptr, 0) != 1) {
          folded = one;
        }
        out[c] = folded;
      }
    }
    return code_page::UnicodeFolding::FromTable(std::move(lower));
  }();
  return folding;
}

bool AmbiguousCharactersAreWide() {
  switch (GetACP()) {
    case 932: case 936: case 949: case 950: return true;
    default: return false;
  }
}
