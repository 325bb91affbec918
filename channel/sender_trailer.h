// The sender record that tellit.dll puts after the NUL of every datagram: who sent it, the how-many-th
// datagram of its process it is, and when. A reader that takes the text up to the NUL never sees
// it, so monitors that predate it show the same text. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace channel {

// "TLT1", then process id, thread id, sequence number and a FILETIME, all little-endian.
inline constexpr unsigned kTrailerBytes = 24;
inline constexpr uint8_t kTrailerMagic[4] = {0x54, 0x4C, 0x54, 0x31};

struct SenderTrailer {
  uint32_t processId = 0;
  uint32_t threadId = 0;
  // Counts every datagram the process tried to send, the first one 0: a gap tells of a lost one.
  uint32_t sequence = 0;
  // When the call was made: UTC in 100 ns units since 1601 (a FILETIME).
  uint64_t sentTime = 0;
};

namespace detail {
inline void Put32(uint8_t* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}
inline uint32_t Get32(const uint8_t* in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
         static_cast<uint32_t>(in[3]) << 24;
}
}  // namespace detail

// Writes the trailer's kTrailerBytes bytes.
inline void EncodeTrailer(const SenderTrailer& trailer, uint8_t* out) {
  for (int i = 0; i < 4; ++i) out[i] = kTrailerMagic[i];
  detail::Put32(out + 4, trailer.processId);
  detail::Put32(out + 8, trailer.threadId);
  detail::Put32(out + 12, trailer.sequence);
  detail::Put32(out + 16, static_cast<uint32_t>(trailer.sentTime));
  detail::Put32(out + 20, static_cast<uint32_t>(trailer.sentTime >> 32));
}

// The trailer of a datagram of `size` bytes: its last kTrailerBytes bytes, when a NUL comes right
// before them and they begin with the magic. False for anything else (an older client, a foreign
// writer, a datagram cut on its way): such a datagram has no known sender.
inline bool ParseTrailer(const uint8_t* datagram, std::size_t size, SenderTrailer& out) {
  if (datagram == nullptr || size < kTrailerBytes + 1) return false;
  const uint8_t* tail = datagram + (size - kTrailerBytes);
  if (tail[-1] != 0) return false;
  for (int i = 0; i < 4; ++i)
    if (tail[i] != kTrailerMagic[i]) return false;
  out.processId = detail::Get32(tail + 4);
  out.threadId = detail::Get32(tail + 8);
  out.sequence = detail::Get32(tail + 12);
  out.sentTime = static_cast<uint64_t>(detail::Get32(tail + 16)) | static_cast<uint64_t>(detail::Get32(tail + 20)) << 32;
  return true;
}

}  // namespace channel
