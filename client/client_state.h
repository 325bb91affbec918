// The library's process-wide record: connection to the monitor's mailslot, text buffers, and the lock of each call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "scoped/scoped_win.h"

namespace tellit {

// Who makes the current call and when, taken as it begins: every datagram it sends says so.
struct CallStamp {
  std::uint32_t threadId;
  std::uint64_t time;  // FILETIME, UTC

  static CallStamp Now() noexcept;
};

// Everything here is used under the ConnectionLock.
struct ClientState {
  scoped::Handle mailslot;                   // write handle; empty while not connected
  std::int32_t writeRefused = 1;             // SendDatagram writes nothing while set
  std::unique_ptr<char[]> textBuffer;        // narrow text, used by both output functions
  std::uint32_t textCapacity = 0;            // bytes
  std::unique_ptr<wchar_t[]> wideBuffer;     // wide text of tellitwf
  std::uint32_t wideCapacity = 0;            // wide characters
  // Datagrams this process tried to send, failed ones too: the next one's sequence number. It
  // lives as long as the record, so a monitor sees a gap where a write failed.
  std::uint32_t sequence = 0;

  // Writes one datagram: `length` bytes of text with its NUL, then the sender trailer, for which
  // `bytes` has room (channel::kTrailerBytes) right after them. Returns `length` when it left,
  // else 0; a failed write gives up the handle so that the next call reconnects and sends a
  // banner. Counted in `sequence` either way.
  std::uint32_t SendDatagram(char* bytes, std::uint32_t length, const CallStamp& call) noexcept;
  // The same for a fixed text (the banner, the overflow notice) of `length` bytes with its NUL.
  std::uint32_t SendFixed(const char* text, std::uint32_t length, const CallStamp& call) noexcept;

  // Gives everything back, in the order the detach notification releases it.
  void Release() noexcept;
};

extern volatile LONG attachCount;
extern ClientState* clientState;

// Connects to the monitor if not yet connected (then sends the open banner), and makes sure
// the text buffers exist. Returns 1 when ready, 0 when no monitor is running. The caller holds
// the ConnectionLock.
int OpenChannel(const CallStamp& call) noexcept;

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
