// MailslotSource: creating the mailslot and reading its datagrams whole, whatever a writer sent.
#include "receiving/mailslot_source.h"

#include <cstring>

#include "receiving/byte_buffer.h"
#include "receiving/line_ends.h"

namespace {
constexpr uint32_t kFirstCapacity = 4096;
// The largest next size Wine's GetMailslotInfo reports, whatever the datagram's real size.
constexpr DWORD kLargestReportedSize = 65536;
}  // namespace

bool MailslotSource::Open() {
  if (slot_) return true;
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  // The largest datagram the receiver keeps whole: Windows refuses a longer write at the writer's
  // end (Wine does not enforce it, but cuts datagrams at 64 KiB).
  scoped::Handle slot(CreateMailslotA(name, channel::kReceiveCeiling, MAILSLOT_WAIT_FOREVER, nullptr));
  if (!slot) return false;
  slot_ = std::move(slot);
  buffer_ = TryAllocateBytes(kFirstCapacity);
  capacity_ = buffer_ ? kFirstCapacity : 0;
  return true;
}

void MailslotSource::Close() {
  slot_.reset();
  buffer_.reset();
  capacity_ = 0;
}

bool MailslotSource::ReadInto(unsigned char* bytes, DWORD size) {
  bytesRead_ = 0;
  return read(slot_.get(), bytes, size, &bytesRead_, nullptr) != 0;
}

MailslotSource::Result MailslotSource::Next() {
  length_ = 0;
  bytesRead_ = 0;
  skippedSize_ = 0;
  textCut_ = false;
  hasTrailer_ = false;
  hasExactText_ = false;
  DWORD nextSize = 0;
  if (!GetMailslotInfo(slot_.get(), nullptr, &nextSize, nullptr, nullptr)) return Result::kBroken;
  if (nextSize == MAILSLOT_NO_MESSAGE) return Result::kEmpty;
  datagramSize_ = nextSize;
  // Wine answers 64 KiB for every datagram of that size or more, and gives the whole datagram to
  // a read that offers room for it: such a datagram is read as if it were as large as any can be.
  const DWORD readSize = nextSize == kLargestReportedSize ? channel::kReceiveCeiling : nextSize;

  const uint32_t grown = line_ends::GrownReceiveCapacity(capacity_, readSize, ceiling);
  if (grown != 0 || !buffer_) {
    const uint32_t capacity = grown != 0 ? grown : capacity_;
    buffer_ = TryAllocateBytes(capacity);
    capacity_ = buffer_ ? capacity : 0;
    if (!buffer_) return Result::kWait;
  }
  if (failures_ != 0 && nextSize != failedSize_) failures_ = 0;  // another datagram is first now

  if (readSize <= capacity_) {
    // A zero-size datagram is read too, so that it leaves the queue: Windows reads it as 0
    // bytes, Wine fails the read (ERROR_BROKEN_PIPE) but takes it off the queue all the same.
    // The read offers the whole buffer: it takes no more than the datagram holds.
    if (ReadInto(buffer_.get(), capacity_)) return Taken(buffer_.get(), bytesRead_);
  } else {
    // Bigger than the ceiling: read whole into a buffer of its own size (a mailslot gives up a
    // datagram only to a read that can take it all) and keep its first `capacity_` bytes; its
    // sender record is read from its real end.
    const auto whole = TryAllocateBytes(readSize);
    if (!whole) return GiveUpOrWait(nextSize);
    if (ReadInto(whole.get(), readSize)) {
      const DWORD kept = bytesRead_ > capacity_ ? capacity_ : bytesRead_;
      std::memcpy(buffer_.get(), whole.get(), kept);
      return Taken(whole.get(), kept);
    }
  }
  bytesRead_ = 0;

  // A failed read: ask the mailslot what became of the datagram.
  DWORD after = 0;
  if (!GetMailslotInfo(slot_.get(), nullptr, &after, nullptr, nullptr)) return Result::kBroken;
  if (nextSize == 0) return Result::kMessage;  // the zero-size datagram is gone: an empty text
  if (after != nextSize) {
    failures_ = 0;
    skippedSize_ = nextSize;
    return Result::kSkipped;
  }
  return GiveUpOrWait(nextSize);
}

MailslotSource::Result MailslotSource::Taken(const unsigned char* whole, DWORD kept) {
  failures_ = 0;
  datagramSize_ = bytesRead_;
  hasTrailer_ = channel::ParseTrailer(whole, bytesRead_, trailer_);
  // A datagram without NUL (not from the client library) ends at its last byte read.
  length_ = line_ends::TextLength(buffer_.get(), kept);
  textCut_ = kept < bytesRead_ && length_ == kept;
  // Only a datagram kept whole holds its block; a cut one shows its text up to the NUL.
  if (hasTrailer_ && kept == bytesRead_) {
    hasExactText_ = channel::ParseExactText(buffer_.get(), kept - channel::kTrailerBytes, length_, exactText_);
  }
  bytesRead_ = kept;
  return Result::kMessage;
}

MailslotSource::Result MailslotSource::GiveUpOrWait(DWORD nextSize) {
  // Still first in the queue: the next call tries once more; after that it is taken off with
  // whatever read the mailslot accepts (Wine gives up a datagram to a shorter read) and told as
  // unreadable, so that one datagram cannot stall every one behind it.
  if (failures_ == 0 || failedSize_ != nextSize) {
    failures_ = 1;
    failedSize_ = nextSize;
    return Result::kWait;
  }
  if (buffer_) ReadInto(buffer_.get(), capacity_);
  bytesRead_ = 0;
  DWORD after = 0;
  if (!GetMailslotInfo(slot_.get(), nullptr, &after, nullptr, nullptr)) return Result::kBroken;
  if (after == nextSize) return Result::kWait;  // the system keeps it first: nothing else can be done
  failures_ = 0;
  skippedSize_ = nextSize;
  return Result::kSkipped;
}
