// ReceiveStamps: the receive time before each line a message begins while View > Time Stamps is
// on, applied to a message's converted text before the console and the log take it.
#pragma once

#include <cstddef>
#include <vector>

#include "monitor/line_stamps.h"

class ReceiveStamps {
 public:
  bool on = false;

  // The text to show for one message: text itself while stamps are off or none is due, else a
  // stamped copy that stays valid until the next call. When the copy cannot be made the text
  // goes unstamped: a message is never lost to a stamp.
  const unsigned char* Apply(const unsigned char* text, size_t length, size_t& shownLength);

 private:
  line_stamps::LineStamper stamper_;
  std::vector<uint8_t> stamped_;
};
