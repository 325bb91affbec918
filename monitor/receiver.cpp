// The message receiver: creates the mailslot, drains it on every timer tick, closes it, and
// creates it again when it could not be created or its handle broke.
#include <windows.h>

#include <cstring>
#include <new>

#include "channel/channel.h"
#include "monitor/line_ends.h"
#include "monitor/monitor_app.h"

namespace {

constexpr unsigned kFirstReceiveCapacity = 4096;
// Besides its count and byte caps, a tick stops after this long, so that a flood of large
// datagrams (each also written to the log) cannot freeze the window; the rest waits.
constexpr DWORD kTickBudgetMs = 30;
// While the channel is down, a tick tries to create it again this often.
constexpr DWORD kRetryPeriodMs = 1000;

// A datagram bigger than the receive ceiling: read whole into a buffer of its own size (a
// mailslot gives up a datagram only to a read that can take it all) and keep its first
// `ceiling` bytes, so the buffer that stays is never read past.
class OversizeRead {
 public:
  explicit OversizeRead(DWORD size) : bytes_(new (std::nothrow) unsigned char[size]) {}
  ~OversizeRead() { delete[] bytes_; }
  OversizeRead(const OversizeRead&) = delete;
  OversizeRead& operator=(const OversizeRead&) = delete;
  unsigned char* get() const { return bytes_; }

 private:
  unsigned char* bytes_;
};

}  // namespace

bool MonitorApp::StartReceiver() {
  if (mailslot) return true;
  lastChannelAttempt = GetTickCount();
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  // The largest datagram the receiver keeps whole: Windows refuses a longer write at the writer's
  // end (Wine does not enforce it, but cuts datagrams at 64 KiB).
  const HANDLE slot = CreateMailslotA(name, channel::kReceiveCeiling, MAILSLOT_WAIT_FOREVER, nullptr);
  if (slot == INVALID_HANDLE_VALUE) {
    if (!channelDown) {
      channelDown = true;
      NotifyTrouble(kChannelInUse, GetLastError());
    }
    return false;
  }
  channelDown = false;
  unsigned char* buffer = new (std::nothrow) unsigned char[kFirstReceiveCapacity];
  mailslot = slot;
  delete[] receiveBuffer;
  receiveBuffer = buffer;
  receiveCapacity = buffer ? kFirstReceiveCapacity : 0;
  return true;
}

void MonitorApp::StopReceiver() {
  if (mailslot) {
    CloseHandle(mailslot);
    mailslot = nullptr;
  }
  delete[] receiveBuffer;
  receiveBuffer = nullptr;
}

void MonitorApp::ReopenReceiver() {
  StopReceiver();
  StartReceiver();
}

MonitorApp::ReadOutcome MonitorApp::ReadDatagram(DWORD nextSize, DWORD& bytesRead) {
  bytesRead = 0;
  const uint32_t grown = line_ends::GrownReceiveCapacity(receiveCapacity, nextSize, bufferCeiling);
  if (grown != 0 || !receiveBuffer) {
    delete[] receiveBuffer;
    const uint32_t capacity = grown != 0 ? grown : receiveCapacity;
    receiveBuffer = new (std::nothrow) unsigned char[capacity];
    receiveCapacity = receiveBuffer ? capacity : 0;
    if (!receiveBuffer) return ReadOutcome::kWait;  // a later tick may find the memory
  }

  BOOL read;
  if (nextSize <= receiveCapacity) {
    // A zero-size datagram is read too, so that it leaves the queue: Windows reads it as 0
    // bytes, Wine fails the read (ERROR_BROKEN_PIPE) but takes it off the queue all the same.
    read = ReadFile(mailslot, receiveBuffer, nextSize != 0 ? nextSize : receiveCapacity, &bytesRead, nullptr);
  } else {
    OversizeRead whole(nextSize);
    if (!whole.get()) return ReadOutcome::kWait;
    read = ReadFile(mailslot, whole.get(), nextSize, &bytesRead, nullptr);
    if (read) {
      if (bytesRead > receiveCapacity) bytesRead = receiveCapacity;
      std::memcpy(receiveBuffer, whole.get(), bytesRead);
    }
  }
  if (read) return ReadOutcome::kRead;
  bytesRead = 0;

  // A failed read: ask the mailslot what became of the datagram.
  DWORD after = 0;
  if (!GetMailslotInfo(mailslot, nullptr, &after, nullptr, nullptr)) return ReadOutcome::kBroken;
  if (nextSize == 0) return ReadOutcome::kRead;  // the empty datagram is gone: nothing to show
  if (after != nextSize) {
    ShowReceiverNotice("<< a message of %lu bytes could not be read >>\n", nextSize);
    return ReadOutcome::kRead;
  }
  return ReadOutcome::kWait;  // still first in the queue: the next tick tries again
}

void MonitorApp::DrainMailslot() {
  if (!mailslot) {
    if (GetTickCount() - lastChannelAttempt < kRetryPeriodMs || !StartReceiver()) return;
  }
  const DWORD start = GetTickCount();
  uint32_t tickBytes = 0;
  for (int count = 0; count < datagramsPerTick; ++count) {
    if (tickBytes >= bytesPerTick || GetTickCount() - start >= kTickBudgetMs) return;

    DWORD nextSize = 0;
    if (!GetMailslotInfo(mailslot, nullptr, &nextSize, nullptr, nullptr)) {
      ReopenReceiver();  // the handle broke: the channel is created again, never given up
      return;
    }
    if (nextSize == MAILSLOT_NO_MESSAGE) return;

    DWORD bytesRead = 0;
    switch (ReadDatagram(nextSize, bytesRead)) {
      case ReadOutcome::kRead:
        break;
      case ReadOutcome::kWait:
        return;
      case ReadOutcome::kBroken:
        ReopenReceiver();
        return;
    }
    tickBytes += bytesRead;

    // A datagram without NUL (not from the client library) ends at its last byte read; an empty
    // one shows nothing and the tick goes on.
    const size_t length = line_ends::TextLength(receiveBuffer, bytesRead);
    if (length != 0) ShowReceived(receiveBuffer, length);
  }
}

void MonitorApp::ShowReceived(const unsigned char* text, size_t length) {
  messages.Add(GetTickCount());
  const uint32_t convertGrown = line_ends::GrownConvertCapacity(
      convertCapacity, static_cast<uint32_t>(length), bufferCeiling);
  if (convertGrown != 0 || !convertBuffer) {
    // Also retried when an earlier allocation failed, so one failure does not end intake.
    delete[] convertBuffer;
    if (convertGrown != 0) convertCapacity = convertGrown;
    convertBuffer = new (std::nothrow) unsigned char[convertCapacity];
  }
  if (!convertBuffer) return;  // this datagram is lost

  const size_t converted = line_ends::Convert(text, length, convertBuffer, convertCapacity);
  size_t shownLength = converted;
  const unsigned char* shown = stamps.Apply(convertBuffer, converted, shownLength);
  console.Write(reinterpret_cast<const char*>(shown), static_cast<int>(shownLength), 0);
  if (logFile) WriteLog(shown, static_cast<DWORD>(shownLength));
}

void MonitorApp::ShowReceiverNotice(const char* pattern, unsigned long value) {
  char line[96];
  const int length = wsprintfA(line, pattern, value);
  if (length > 0) ShowReceived(reinterpret_cast<const unsigned char*>(line), static_cast<size_t>(length));
}
