// LeadTrailSets: which byte values begin and end a double-byte character of a code page, as data,
// so that portable code splits text into whole characters. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

// Lead and trail byte sets of the active multibyte code page. A single-byte code page has no
// lead bytes, so IsDoubleByte is never true there.
struct LeadTrailSets {
  bool lead[256] = {};
  bool trail[256] = {};

  bool IsDoubleByte(uint8_t first, uint8_t second) const { return lead[first] && trail[second]; }

  static LeadTrailSets SingleByte();  // no double-byte characters
  static LeadTrailSets ShiftJis();    // code page 932

  // The length of text without a lead byte left alone at its end (a cut took its trail byte);
  // characters are found from the text's start, as the console finds them.
  std::size_t WholeCharacters(const uint8_t* text, std::size_t length) const;
};
