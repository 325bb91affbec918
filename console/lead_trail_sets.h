// LeadTrailSets: the lead and trail byte sets of a multibyte code page, as data, so that the
// portable parts (store, view, search, filters) tell double-byte characters apart without Windows.
#pragma once

#include <cstdint>

// A single-byte code page has no lead bytes, so IsDoubleByte is never true there.
struct LeadTrailSets {
  bool lead[256] = {};
  bool trail[256] = {};

  bool IsDoubleByte(uint8_t first, uint8_t second) const { return lead[first] && trail[second]; }

  static LeadTrailSets SingleByte() { return LeadTrailSets(); }  // no double-byte characters
  static LeadTrailSets ShiftJis() {                               // code page 932
    LeadTrailSets sets;
    for (int b = 0x81; b <= 0x9F; ++b) sets.lead[b] = true;
    for (int b = 0xE0; b <= 0xFC; ++b) sets.lead[b] = true;
    for (int b = 0x40; b <= 0x7E; ++b) sets.trail[b] = true;
    for (int b = 0x80; b <= 0xFC; ++b) sets.trail[b] = true;
    return sets;
  }
};
