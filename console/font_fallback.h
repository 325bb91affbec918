// FontFallback: which font draws a character the console font lacks, or cannot set in the cells
// the console gives it (a Japanese font's Greek is as wide as two cells, where text of a
// single-byte code page gives it one). The candidates are fonts that most systems with East
// Asian, Greek or Cyrillic text have, made at the console font's height and cell width; the first
// one whose glyph fits draws it, else the first that has it. Answers are kept per character until
// the console font changes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scoped/scoped_win.h"

class FontFallback {
 public:
  // The console font as made now and its cell width; a change forgets the fonts and answers of
  // the one before.
  void Follow(const LOGFONTA& consoleFont, int cellWidth);
  // The font to draw the code point in its cells with, in dc whose selected font is the console
  // font: null for the console font itself (its glyph fits, or no candidate does better).
  HFONT FontFor(HDC dc, char32_t codePoint, int cells);

 private:
  struct Candidate {
    const char* face;
    scoped::Font font;
    bool tried = false;   // made (or found missing) already
    bool present = false;
  };
  enum class Glyph { kNone, kTooWide, kFits };
  Glyph ConsoleGlyph(HDC dc, wchar_t character, int cells) const;
  Glyph CandidateGlyph(HDC dc, Candidate& candidate, wchar_t character, int cells);
  // Of the font selected into dc; indexed says whether it answered for glyph indices at all.
  Glyph Measure(HDC dc, wchar_t character, int cells, bool* indexed = nullptr) const;

  LOGFONTA consoleFont_ = {};
  int cellWidth_ = 0;
  std::vector<Candidate> candidates_;
  // Per code point of the Basic Multilingual Plane: 0 not asked yet, 1 the console font, k + 2
  // candidate k.
  std::vector<uint8_t> answers_;
};
