// ReceiveStamps: the time before each line a message begins, applied to a message's converted text before the log takes it (the console draws its own
// from the record, in the same form).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "receiving/line_stamps.h"

// The local clock time of a FILETIME (UTC); of now when it is 0 or cannot be converted.
line_stamps::ClockTime LocalClockOf(uint64_t fileTime);

class ReceiveStamps {
 public:
  // The text to show for one message: text itself when no stamp is due, else a stamped copy that stays valid until the next call. When the copy cannot be made the text
  // goes unstamped: a message is never lost to a stamp.
  // The stamp is the local time of `sentTime` (a FILETIME, UTC) when it is not 0, else the time
  // of the call.
  const unsigned char* Apply(const unsigned char* text, size_t length, uint64_t sentTime, size_t& shownLength);
  // Follows text that goes nowhere stamped, so that the line state stays true.
  void Follow(const unsigned char* text, size_t length);

 private:
  line_stamps::LineStamper stamper_;
  std::vector<uint8_t> stamped_;
};
