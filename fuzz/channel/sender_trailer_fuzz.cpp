// Fuzzes the sender trailer's parser with any datagram: it reads only inside the datagram, takes
// only a trailer that follows a NUL and begins with the magic, and reads back what was encoded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "channel/sender_trailer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact copy, so that a read past the end is caught by the sanitizer.
  std::vector<uint8_t> datagram(data, data + size);
  channel::SenderTrailer read;
  const bool parsed = channel::ParseTrailer(datagram.data(), datagram.size(), read);
  const bool expected = size >= channel::kTrailerBytes + 1 && datagram[size - channel::kTrailerBytes - 1] == 0 &&
                        std::memcmp(&datagram[size - channel::kTrailerBytes], channel::kTrailerMagic, 4) == 0;
  if (parsed != expected) std::abort();
  if (parsed) {
    uint8_t again[channel::kTrailerBytes];
    channel::EncodeTrailer(read, again);
    if (std::memcmp(again, &datagram[size - channel::kTrailerBytes], channel::kTrailerBytes) != 0) std::abort();
  }
  return 0;
}
