// The library's process-wide record: connection to the monitor's mailslot, text buffers, mutex.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "client/unique_handle.h"

namespace tellit {

struct ClientState {
  UniqueHandle mailslot;                     // write handle; empty while not connected
  std::int32_t writeRefused = 1;             // SendDatagram writes nothing while set
  std::unique_ptr<std::uint8_t[]> spareBuffer;
  std::int32_t spareCapacity = 0;
  std::unique_ptr<char[]> textBuffer;        // narrow text, used by both output functions
  std::uint32_t textCapacity = 0;            // bytes
  std::unique_ptr<wchar_t[]> wideBuffer;     // wide text of tellitwf
  std::uint32_t wideCapacity = 0;            // wide characters
  UniqueHandle mutex;                        // serialises the output calls of this process

  // Writes one datagram (`length` counts the NUL). Returns the bytes written, or 0; a failed
  // write gives up the handle so that the next call reconnects and sends a banner.
  std::uint32_t SendDatagram(const void* bytes, std::uint32_t length) noexcept;

  // Gives everything back, in the order the detach notification releases it.
  void Release() noexcept;
};

extern volatile LONG attachCount;
extern ClientState* clientState;

// Connects to the monitor if not yet connected (then sends the open banner), and makes sure
// the text buffers and the mutex exist. Returns 1 when ready, 0 when no monitor is running.
int OpenChannel() noexcept;

// Process-wide lock of the connection step and of the handle's use in SendDatagram, created
// with the record: threads making their first call together open the mailslot and create the
// mutex once, and a failed write cannot close the handle under another thread's write.
class ConnectionLock {
 public:
  ConnectionLock() noexcept;
  ~ConnectionLock();
  ConnectionLock(const ConnectionLock&) = delete;
  ConnectionLock& operator=(const ConnectionLock&) = delete;

  static void Create() noexcept;
  static void Destroy() noexcept;
};

}  // namespace tellit
