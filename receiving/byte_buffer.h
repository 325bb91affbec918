// Byte buffers allocated without throwing: a failed allocation is an empty buffer the caller handles.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

inline std::unique_ptr<unsigned char[]> TryAllocateBytes(std::size_t size) {
  return std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[size]);
}
