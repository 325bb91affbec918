// HistoryGutter: what the monitor's console draws before each stored line, from the line's message
// record: with time stamps on, the stamp of the message that brought the line's first byte before
// every line of text; with senders on (debug output always), "[pid program] " before the line a
// sender's message begins. The form is the one the log and tellitcap write. Portable: the clock
// comes in as a function.
#pragma once

#include <cstdint>
#include <string>

#include "console/line_gutter.h"
#include "console/stored_message.h"
#include "receiving/line_stamps.h"

class HistoryGutter : public LineGutter {
 public:
  // The local clock time of a FILETIME (UTC).
  using Clock = line_stamps::ClockTime (*)(uint64_t fileTime);
  explicit HistoryGutter(Clock clock) : clock_(clock) {}

  bool senders = false;
  bool stamps = false;
  line_stamps::StampStyle style;  // the stamps' form, origin and which time they show
  // A message that names its sender whatever `senders` says (debug output) was stored.
  bool namesAlways = false;

  void Append(const TextStore& store, uint32_t line, std::string& out) const override;
  uint32_t Widest(const TextStore& store) const override;

 private:
  uint64_t TimeOf(const StoredMessage& message) const;  // the time its stamp shows
  Clock clock_;
};
