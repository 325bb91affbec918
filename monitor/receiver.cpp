// The message receiver: creates the mailslot, drains it on every timer tick, closes it.
#include <windows.h>

#include <cstring>
#include <new>

#include "channel/channel.h"
#include "monitor/line_ends.h"
#include "monitor/monitor_app.h"

namespace {

constexpr unsigned kFirstReceiveCapacity = 4096;
constexpr int kDatagramsPerTick = 500;

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

void MonitorApp::StartReceiver() {
  if (mailslot) return;
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  const HANDLE slot = CreateMailslotA(name, 0, MAILSLOT_WAIT_FOREVER, nullptr);
  if (slot == INVALID_HANDLE_VALUE) return;
  unsigned char* buffer = new (std::nothrow) unsigned char[kFirstReceiveCapacity];
  mailslot = slot;
  receiveEnabled = 1;
  delete[] receiveBuffer;
  receiveBuffer = buffer;
  receiveCapacity = buffer ? kFirstReceiveCapacity : 0;
}

void MonitorApp::StopReceiver() {
  if (mailslot) {
    CloseHandle(mailslot);
    mailslot = nullptr;
  }
  delete[] receiveBuffer;
  receiveBuffer = nullptr;
}

void MonitorApp::DrainMailslot() {
  for (int count = 0; count < kDatagramsPerTick; ++count) {
    if (!mailslot || !receiveEnabled) return;

    DWORD nextSize = 0;
    if (!GetMailslotInfo(mailslot, nullptr, &nextSize, nullptr, nullptr)) {
      StopReceiver();  // the channel is gone for the rest of the run
      return;
    }
    if (nextSize == MAILSLOT_NO_MESSAGE) return;

    const uint32_t grown = line_ends::GrownReceiveCapacity(receiveCapacity, nextSize, bufferCeiling);
    if (grown != 0 || !receiveBuffer) {
      delete[] receiveBuffer;
      const uint32_t capacity = grown != 0 ? grown : receiveCapacity;
      receiveBuffer = new (std::nothrow) unsigned char[capacity];
      receiveCapacity = receiveBuffer ? capacity : 0;
      if (!receiveBuffer) return;
    }

    DWORD bytesRead = 0;
    if (nextSize <= receiveCapacity) {
      if (!ReadFile(mailslot, receiveBuffer, nextSize, &bytesRead, nullptr)) {
        StopReceiver();
        return;
      }
    } else {
      OversizeRead whole(nextSize);
      if (!whole.get()) return;  // left queued; a later tick may find the memory
      if (!ReadFile(mailslot, whole.get(), nextSize, &bytesRead, nullptr)) {
        StopReceiver();
        return;
      }
      if (bytesRead > receiveCapacity) bytesRead = receiveCapacity;
      std::memcpy(receiveBuffer, whole.get(), bytesRead);
    }

    // A datagram without NUL (not from the client library) ends at its last byte read.
    const size_t length = line_ends::TextLength(receiveBuffer, bytesRead);
    if (length == 0) return;  // an empty datagram ends the tick

    const uint32_t convertGrown = line_ends::GrownConvertCapacity(
        convertCapacity, static_cast<uint32_t>(length), bufferCeiling);
    if (convertGrown != 0 || !convertBuffer) {
      // Also retried when an earlier allocation failed, so one failure does not end intake.
      delete[] convertBuffer;
      if (convertGrown != 0) convertCapacity = convertGrown;
      convertBuffer = new (std::nothrow) unsigned char[convertCapacity];
    }
    if (!convertBuffer) return;  // this datagram is lost

    const size_t converted = line_ends::Convert(receiveBuffer, length, convertBuffer, convertCapacity);
    console.Write(reinterpret_cast<const char*>(convertBuffer), static_cast<int>(converted), 0);

    if (logFile) {
      DWORD written = 0;
      if (!WriteFile(logFile, convertBuffer, static_cast<DWORD>(converted), &written, nullptr)) {
        CloseHandle(logFile);
        logFile = nullptr;
      }
    }
  }
}
