// The lead and trail byte sets that need no Windows call: none, and Shift-JIS's.
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
