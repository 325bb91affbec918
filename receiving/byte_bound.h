// The byte bound of a queue: whether more bytes fit beside those it holds, asked so that it cannot
// wrap, also once one oversize entry (let into an empty queue) holds more than the bound.
// Portable: no Windows header.
#pragma once

#include <cstddef>

inline bool FitsWithin(std::size_t held, std::size_t adding, std::size_t bound) {
  return held <= bound && adding <= bound - held;
}
