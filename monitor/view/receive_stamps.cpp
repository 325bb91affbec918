// ReceiveStamps: the local time of a message, the stamped copy.
#include "monitor/view/receive_stamps.h"

#include <windows.h>

#include <new>

#include "receiving/file_time.h"


namespace {

// A copy grown for one huge message is given back afterwards rather than kept for good.
constexpr size_t kKeptCapacity = 256 * 1024;

}  // namespace

const unsigned char* ReceiveStamps::Apply(const unsigned char* text, size_t length, uint64_t time,
                                          const line_stamps::StampStyle& style, size_t& shownLength) {
  shownLength = length;
  const size_t lines = stamper_.LinesBegun(text, length);
  if (lines == 0) {
    stamper_.Follow(text, length);
    return text;
  }
  // The line before was stamped at `previous_`: the delta form's distance.
  const uint64_t previous = previous_ != 0 ? previous_ : time;
  previous_ = time;
  const line_stamps::MessageStamps stamp = line_stamps::StampsOf(style, LocalClockOf(time), time, previous);
  const size_t needed = length + lines * stamp.first.size();
  if (stamped_.capacity() > kKeptCapacity && needed <= kKeptCapacity) std::vector<uint8_t>().swap(stamped_);
  stamped_.clear();
  try {
    stamped_.reserve(needed);
  } catch (const std::bad_alloc&) {
    stamper_.Follow(text, length);
    return text;
  }
  stamper_.Stamp(text, length, stamp.first, stamp.rest, stamped_);
  shownLength = stamped_.size();
  return stamped_.data();
}

void ReceiveStamps::Follow(const unsigned char* text, size_t length) { stamper_.Follow(text, length); }

