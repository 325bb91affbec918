// ReceiveStamps: the receive time before each line a message begins while View > Time Stamps is
// on, applied to a message's converted text before the console and the log take it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "monitor/view/line_stamps.h"

class ReceiveStamps {
 public:
  bool on = false;

  // The text to show for one message: text itself while stamps are off or none is due, else a
  // stamped copy that stays valid until the next call. When the copy cannot be made the text
  // goes unstamped: a message is never lost to a stamp.
  // The stamp is the local time of `sentTime` (a FILETIME, UTC) when it is not 0, else the time
  // of the call.
  const unsigned char* Apply(const unsigned char* text, size_t length, uint64_t sentTime, size_t& shownLength);
  // Whether the last Apply put a stamp before the text's first byte.
  bool headStamped() const { return headStamped_; }

 private:
  bool headStamped_ = false;
  line_stamps::LineStamper stamper_;
  std::vector<uint8_t> stamped_;
};
