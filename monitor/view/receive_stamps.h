// ReceiveStamps: the time before each line a message begins, applied to a message's converted text before the log takes it (the console draws its own
// from the record, in the same form).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "receiving/line_stamps.h"


class ReceiveStamps {
 public:
  // The text to show for one message: text itself when no stamp is due, else a stamped copy that
  // stays valid until the next call. When the copy cannot be made the text goes unstamped: a
  // message is never lost to a stamp. The stamp is of `time` (a FILETIME, UTC) in the style's
  // form; a delta is the distance from the last stamp made.
  const unsigned char* Apply(const unsigned char* text, size_t length, uint64_t time,
                             const line_stamps::StampStyle& style, size_t& shownLength);
  // Forgets the line before (All Erase): the next delta is 0.
  void Restart() { previous_ = 0; }
  // Follows text that goes nowhere stamped, so that the line state stays true.
  void Follow(const unsigned char* text, size_t length);

 private:
  line_stamps::LineStamper stamper_;
  uint64_t previous_ = 0;  // the time of the last stamp
  std::vector<uint8_t> stamped_;
};
