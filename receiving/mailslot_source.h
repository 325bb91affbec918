// MailslotSource: the monitor's mailslot, read one datagram at a time into a buffer that grows
// with the datagrams, up to a ceiling.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "channel/channel.h"
#include "scoped/scoped_win.h"

class MailslotSource {
 public:
  enum class Result {
    kMessage,  // text() and length() hold the datagram's text (possibly empty)
    kSkipped,  // a datagram of skippedSize() bytes could not be read and left the queue
    kEmpty,    // nothing queued
    kWait,     // the first datagram cannot be read now (no memory); a later call tries again
    kBroken,   // the handle no longer answers: Close and Open again
  };

  // Creates the mailslot; false when that failed (GetLastError says why: another program may
  // hold the name).
  bool Open();
  void Close();
  bool IsOpen() const { return static_cast<bool>(slot_); }

  Result Next();
  const unsigned char* text() const { return buffer_.get(); }
  std::size_t length() const { return length_; }
  DWORD bytesRead() const { return bytesRead_; }
  DWORD skippedSize() const { return skippedSize_; }
  // The size of the datagram last read as it was queued: above bytesRead() when it was cut.
  DWORD datagramSize() const { return datagramSize_; }

  uint32_t capacity() const { return capacity_; }
  bool HasBuffer() const { return buffer_ != nullptr; }
  HANDLE handle() const { return slot_.get(); }
  // Puts another handle in the mailslot's place (tests: one that is not a mailslot).
  void Replace(HANDLE handle) { slot_.reset(handle); }

  // The receive buffer never grows beyond this; tests lower it to reach the oversize path under
  // Wine, whose mailslots cut datagrams at 64 KiB.
  uint32_t ceiling = channel::kReceiveCeiling;
  // The read of a datagram; tests put one in its place that fails.
  using ReadFunction = BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
  ReadFunction read = ReadFile;

 private:
  bool ReadInto(unsigned char* bytes, DWORD size);
  Result GiveUpOrWait(DWORD nextSize);

  scoped::Handle slot_;
  std::unique_ptr<unsigned char[]> buffer_;
  uint32_t capacity_ = 0;
  std::size_t length_ = 0;
  DWORD bytesRead_ = 0;
  DWORD skippedSize_ = 0;
  DWORD datagramSize_ = 0;
  int failures_ = 0;       // failed reads of the datagram of failedSize_ bytes that is first
  DWORD failedSize_ = 0;
};
