// FontFallback: glyph tests through GetGlyphIndicesW, and through the ANSI code page for a raster
// console font, which has no glyph indices.
#include "console/font_fallback.h"

#include <cstring>

namespace {

// In the order they are tried: fixed-pitch fonts with Greek and Cyrillic first, then those of
// Japanese, Chinese and Korean text, then wide-coverage ones.
constexpr const char* kCandidateFaces[] = {
    "Consolas", "DejaVu Sans Mono", "Courier New", "Lucida Console", "MS Gothic", "IPAGothic", "VL Gothic",
    "Meiryo", "MS UI Gothic", "SimSun", "NSimSun", "MingLiU", "GulimChe", "Noto Sans Mono CJK JP",
    "Droid Sans Fallback", "Segoe UI Symbol", "Arial Unicode MS", "DejaVu Sans", "Tahoma",
};

constexpr uint8_t kConsoleFont = 1;

}  // namespace

void FontFallback::Follow(const LOGFONTA& consoleFont, int cellWidth) {
  if (std::memcmp(&consoleFont, &consoleFont_, sizeof consoleFont) == 0 && cellWidth == cellWidth_ &&
      !candidates_.empty()) {
    return;
  }
  consoleFont_ = consoleFont;
  cellWidth_ = cellWidth;
  candidates_.clear();
  candidates_.reserve(std::size(kCandidateFaces));
  for (const char* face : kCandidateFaces) candidates_.push_back(Candidate{face, scoped::Font(), false, false});
  answers_.assign(0x10000, 0);
}

FontFallback::Glyph FontFallback::Measure(HDC dc, wchar_t character, int cells, bool* indexed) const {
  WORD glyph = 0;
  const bool answered = GetGlyphIndicesW(dc, &character, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1;
  if (indexed) *indexed = answered;
  if (!answered || glyph == 0xFFFF) return Glyph::kNone;
  INT advance = 0;
  if (!GetCharWidth32W(dc, character, character, &advance)) return Glyph::kFits;
  // A pixel over is a rounding of the font's own: it still fits.
  return advance <= cells * cellWidth_ + 1 ? Glyph::kFits : Glyph::kTooWide;
}

FontFallback::Glyph FontFallback::ConsoleGlyph(HDC dc, wchar_t character, int cells) const {
  bool indexed = false;
  const Glyph glyph = Measure(dc, character, cells, &indexed);
  if (indexed) return glyph;
  // A raster font has no glyph indices: it has the characters of its code page, in its cells.
  char bytes[4];
  BOOL defaulted = FALSE;
  return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &character, 1, bytes, sizeof bytes, nullptr, &defaulted) > 0 &&
                 !defaulted
             ? Glyph::kFits
             : Glyph::kNone;
}

FontFallback::Glyph FontFallback::CandidateGlyph(HDC dc, Candidate& candidate, wchar_t character, int cells) {
  if (!candidate.tried) {
    candidate.tried = true;
    LOGFONTA font = consoleFont_;
    font.lfWidth = cellWidth_;  // narrow characters in one cell, wide ones in two
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfPitchAndFamily = DEFAULT_PITCH;
    font.lfOutPrecision = OUT_TT_PRECIS;
    std::strncpy(font.lfFaceName, candidate.face, sizeof font.lfFaceName - 1);
    font.lfFaceName[sizeof font.lfFaceName - 1] = '\0';
    candidate.font.reset(CreateFontIndirectA(&font));
    if (candidate.font.get()) {
      // The system gives another font for a face it lacks: only the face asked for counts.
      scoped::Select selected(dc, candidate.font.get());
      char face[LF_FACESIZE] = "";
      GetTextFaceA(dc, sizeof face, face);
      candidate.present = lstrcmpiA(face, candidate.face) == 0;
    }
  }
  if (!candidate.present) return Glyph::kNone;
  scoped::Select selected(dc, candidate.font.get());
  return Measure(dc, character, cells);
}

HFONT FontFallback::FontFor(HDC dc, char32_t codePoint, int cells) {
  // Beyond the BMP a glyph cannot be asked for by one code unit: the console font draws it, with
  // whatever linking the system does.
  if (codePoint < 0x80 || codePoint >= 0x10000 || answers_.empty()) return nullptr;
  uint8_t& answer = answers_[codePoint];
  if (answer == 0) {
    const wchar_t character = wchar_t(codePoint);
    answer = kConsoleFont;
    const Glyph own = ConsoleGlyph(dc, character, cells);
    if (own != Glyph::kFits) {
      uint8_t firstWithGlyph = own == Glyph::kTooWide ? kConsoleFont : 0;
      for (size_t k = 0; k < candidates_.size() && k + 2 < 0x100; ++k) {
        const Glyph glyph = CandidateGlyph(dc, candidates_[k], character, cells);
        if (glyph == Glyph::kFits) {
          firstWithGlyph = uint8_t(k + 2);
          break;
        }
        if (glyph == Glyph::kTooWide && firstWithGlyph == 0) firstWithGlyph = uint8_t(k + 2);
      }
      answer = firstWithGlyph != 0 ? firstWithGlyph : kConsoleFont;
    }
  }
  return answer == kConsoleFont ? nullptr : candidates_[answer - 2].font.get();
}
