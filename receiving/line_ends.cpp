// The receiver's line-end rule and buffer sizing rules.
#include "receiving/line_ends.h"

#include <cstring>

namespace line_ends {

namespace {
constexpr uint8_t kCR = 0x0D;
constexpr uint8_t kLF = 0x0A;
}  // namespace

size_t Convert(const uint8_t* text, size_t length, uint8_t* out, size_t outCapacity, size_t* consumed) {
  if (consumed) *consumed = 0;
  if (outCapacity == 0) return 0;
  const size_t limit = outCapacity - 1;  // room for the NUL
  size_t written = 0;
  size_t i = 0;
  while (i < length) {
    const uint8_t byte = text[i];
    if (byte != kCR && byte != kLF) {
      if (written + 1 > limit) break;
      out[written++] = byte;
      ++i;
      continue;
    }
    if (written + 2 > limit) break;
    const uint8_t partner = byte == kCR ? kLF : kCR;
    if (i + 1 < length && text[i + 1] == partner) {
      // CR LF and LF CR are already whole line ends: keep their order.
      out[written++] = byte;
      out[written++] = partner;
      i += 2;
    } else {
      out[written++] = kCR;
      out[written++] = kLF;
      ++i;
    }
  }
  out[written] = 0;
  if (consumed) *consumed = i;
  return written;
}

bool EndsLine(const uint8_t* text, size_t length) {
  return length != 0 && (text[length - 1] == kCR || text[length - 1] == kLF);
}

size_t TextLength(const uint8_t* datagram, size_t bytesRead) {
  if (bytesRead == 0) return 0;
  const void* nul = std::memchr(datagram, 0, bytesRead);
  return nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - datagram) : bytesRead;
}

uint32_t GrownReceiveCapacity(uint32_t capacity, uint32_t datagramSize, uint32_t ceiling) {
  if (capacity >= datagramSize) return 0;
  // Rounded in 64 bits: a size near 4 GiB must not wrap to a tiny buffer.
  const uint64_t rounded = (static_cast<uint64_t>(datagramSize) + 1023) & ~uint64_t{1023};
  const uint32_t grown = rounded > ceiling ? ceiling : static_cast<uint32_t>(rounded);
  return grown > capacity ? grown : 0;
}

uint32_t GrownConvertCapacity(uint32_t capacity, uint32_t textLength, uint32_t ceiling) {
  // Every byte may become two (a lone CR or LF), and the NUL needs one more.
  const uint64_t need = 2 * static_cast<uint64_t>(textLength) + 1;
  if (need <= capacity) return 0;
  const uint32_t grown = need >= ceiling ? ceiling : static_cast<uint32_t>(need);
  return grown > capacity ? grown : 0;
}

}  // namespace line_ends
