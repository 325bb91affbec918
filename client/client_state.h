// The library's process-wide record: connection to the monitor's mailslot, text buffers, and the lock of each call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "client/unique_handle.h"

namespace tellit {

// Everything here is used under the ConnectionLock.
struct ClientState {
  UniqueHandle mailslot;                     // write handle; empty while not connected
  std::int32_t writeRefused = 1;             // SendDatagram writes nothing while set
  std::unique_ptr<char[]> textBuffer;        // narrow text, used by both output functions
  std::uint32_t textCapacity = 0;            // bytes
  std::unique_ptr<wchar_t[]> wideBuffer;     // wide text of tellitwf
  std::uint32_t wideCapacity = 0;            // wide characters

  // Writes one datagram (`length` counts the NUL). Returns the bytes written, or 0; a failed
  // write gives up the handle so that the next call reconnects and sends a banner.
  std::uint32_t SendDatagram(const void* bytes, std::uint32_t length) noexcept;

  // Gives everything back, in the order the detach notification releases it.
  void Release() noexcept;
};

extern volatile LONG attachCount;
extern ClientState* clientState;

// Connects to the monitor if not yet connected (then sends the open banner), and makes sure
// the text buffers exist. Returns 1 when ready, 0 when no monitor is running. The caller holds
// the ConnectionLock.
int OpenChannel() noexcept;

// The process's one lock of the output calls, created with the record and held by each call
// from connecting to its last datagram: racing first calls open the mailslot once and send one
// banner before any message, a call's overflow notice and its cut message leave back to back,
// and a failed write cannot close the handle under another thread's write. A critical section
// stays in the process: the unnamed kernel mutex it replaces cost two round trips to the kernel
// (the Wine server) per call.
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
