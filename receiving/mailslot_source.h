// MailslotSource: the monitor's mailslot, read one datagram at a time into a buffer that grows
// with the datagrams, up to a ceiling.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "channel/channel.h"
#include "channel/exact_text.h"
#include "channel/sender_trailer.h"
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
  // The size of the datagram last read: above bytesRead() when only its first bytes are kept.
  DWORD datagramSize() const { return datagramSize_; }
  // Whether the text of the datagram last read goes on beyond the bytes kept.
  bool textCut() const { return textCut_; }
  // The sender record of the datagram last read, taken from its real end also when only its
  // first bytes are kept; null when it has none.
  const channel::SenderTrailer* trailer() const { return hasTrailer_ ? &trailer_ : nullptr; }
  // The exact-text block between the text's NUL and the sender trailer, where a whole datagram has
  // one; it points into the buffer, like the text.
  const channel::ExactText* exactText() const { return hasExactText_ ? &exactText_ : nullptr; }

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
  // What is known of the datagram once read: its real size, its sender record, its text.
  Result Taken(const unsigned char* whole, DWORD kept);

  scoped::Handle slot_;
  std::unique_ptr<unsigned char[]> buffer_;
  uint32_t capacity_ = 0;
  std::size_t length_ = 0;
  DWORD bytesRead_ = 0;
  DWORD skippedSize_ = 0;
  DWORD datagramSize_ = 0;
  bool textCut_ = false;
  bool hasTrailer_ = false;
  channel::SenderTrailer trailer_;
  bool hasExactText_ = false;
  channel::ExactText exactText_;
  int failures_ = 0;       // failed reads of the datagram of failedSize_ bytes that is first
  DWORD failedSize_ = 0;
};
