// Fuzzes the exact-text block's parser with any datagram: it reads only inside the datagram, takes
// only a block that fills the bytes after the text's NUL with well-formed UTF-8 (or none), and reads back
// what was encoded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "channel/exact_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact copy, so that a read past the end is caught by the sanitizer.
  std::vector<uint8_t> datagram(data, data + size);
  const void* nul = size == 0 ? nullptr : std::memchr(datagram.data(), 0, size);
  const size_t text = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - datagram.data()) : size;
  channel::ExactText read;
  if (!channel::ParseExactText(datagram.data(), size, text, read)) return 0;
  if (read.utf8 != datagram.data() + text + 1) std::abort();
  if (text + 1 + read.length + channel::kExactFooterBytes != size) std::abort();
  if (read.codePage == 0 || read.codePage > channel::kLargestCodePage) std::abort();
  for (size_t at = 0; at < read.length;) {
    const size_t bytes = channel::Utf8CharacterBytes(read.utf8 + at, read.length - at);
    if (bytes == 0 || read.utf8[at] == 0) std::abort();
    at += bytes;
  }
  uint8_t again[channel::kExactFooterBytes];
  channel::EncodeExactFooter(read.codePage, static_cast<uint32_t>(read.length), again);
  if (std::memcmp(again, &datagram[size - channel::kExactFooterBytes], channel::kExactFooterBytes) != 0) std::abort();
  return 0;
}
