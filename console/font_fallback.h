// FontFallback: which font draws a character the console font lacks. The candidates are fonts
// that most systems with East Asian, Greek or Cyrillic text have; the first one that has the
// character's glyph draws it, made at the console font's height. Answers are kept per character
// until the console font changes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scoped/scoped_win.h"

class FontFallback {
 public:
  // The console font as made now; a change forgets the fonts and answers of the one before.
  void Follow(const LOGFONTA& consoleFont);
  // The font to draw the code point with, in dc whose selected font is the console font: null
  // for the console font itself (it has the glyph, or no candidate has it).
  HFONT FontFor(HDC dc, char32_t codePoint);

 private:
  struct Candidate {
    const char* face;
    scoped::Font font;
    bool tried = false;   // made (or found missing) already
    bool present = false;
  };
  bool ConsoleFontHas(HDC dc, wchar_t character);
  bool CandidateHas(HDC dc, Candidate& candidate, wchar_t character);

  LOGFONTA consoleFont_ = {};
  std::vector<Candidate> candidates_;
  // Per code point of the Basic Multilingual Plane: 0 not asked yet, 1 the console font, k + 2
  // candidate k.
  std::vector<uint8_t> answers_;
};
