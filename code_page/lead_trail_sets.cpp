// The lead and trail byte sets that need no Windows call: none, and Shift-JIS's; whole characters.
#include "code_page/lead_trail_sets.h"

LeadTrailSets LeadTrailSets::SingleByte() { return LeadTrailSets(); }

LeadTrailSets LeadTrailSets::ShiftJis() {
  LeadTrailSets sets;
  for (int b = 0x81; b <= 0x9F; ++b) sets.lead[b] = true;
  for (int b = 0xE0; b <= 0xFC; ++b) sets.lead[b] = true;
  for (int b = 0x40; b <= 0x7E; ++b) sets.trail[b] = true;
  for (int b = 0x80; b <= 0xFC; ++b) sets.trail[b] = true;
  return sets;
}

std::size_t LeadTrailSets::WholeCharacters(const uint8_t* text, std::size_t length) const {
  std::size_t i = 0;
  while (i < length) {
    if (i + 1 < length && IsDoubleByte(text[i], text[i + 1])) {
      i += 2;
    } else if (i + 1 == length && lead[text[i]]) {
      return i;  // a lead byte whose trail is not there
    } else {
      ++i;
    }
  }
  return length;
}
