// Attach and detach handling, the connection step and the one routine that writes datagrams.
#include "client/client_state.h"

#include <new>

#include "channel/channel.h"
#include "channel/sender_trailer.h"
#include "client/text_buffer.h"

namespace tellit {

volatile LONG attachCount = 0;
ClientState* clientState = nullptr;

namespace {
CRITICAL_SECTION connectionSection;
}

ConnectionLock::ConnectionLock() noexcept { EnterCriticalSection(&connectionSection); }
ConnectionLock::~ConnectionLock() { LeaveCriticalSection(&connectionSection); }
void ConnectionLock::Create() noexcept { InitializeCriticalSection(&connectionSection); }
void ConnectionLock::Destroy() noexcept { DeleteCriticalSection(&connectionSection); }

CallStamp CallStamp::Now() noexcept {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return CallStamp{GetCurrentThreadId(), static_cast<std::uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime};
}

std::uint32_t ClientState::SendDatagram(char* bytes, std::uint32_t length, const CallStamp& call) noexcept {
  if (!mailslot || writeRefused != 0 || bytes == nullptr || length == 0) return 0;
  channel::SenderTrailer trailer;
  trailer.processId = GetCurrentProcessId();
  trailer.threadId = call.threadId;
  trailer.sequence = sequence++;
  trailer.sentTime = call.time;
  channel::EncodeTrailer(trailer, reinterpret_cast<std::uint8_t*>(bytes + length));
  const DWORD total = length + channel::kTrailerBytes;
  DWORD written = 0;
  if (WriteFile(mailslot.get(), bytes, total, &written, nullptr) && written == total) return length;
  mailslot.reset();
  return 0;
}

std::uint32_t ClientState::SendFixed(const char* text, std::uint32_t length, const CallStamp& call) noexcept {
  char datagram[channel::kOverflowNoticeBytes + channel::kTrailerBytes];
  if (length > channel::kOverflowNoticeBytes) return 0;  // the longest fixed text
  for (std::uint32_t i = 0; i < length; ++i) datagram[i] = text[i];
  return SendDatagram(datagram, length, call);
}

void ClientState::Release() noexcept {
  textBuffer.reset();
  textCapacity = 0;
  wideBuffer.reset();
  wideCapacity = 0;
  mailslot.reset();
}

int OpenChannel(const CallStamp& call) noexcept {
  ClientState& state = *clientState;
  if (!state.mailslot) {
    char name[channel::kNameBufferSize];
    channel::FormatMailslotName(name);
    // FILE_SHARE_WRITE too: where share modes are enforced on mailslots (Wine), a second
    // client process would otherwise be refused while the first holds its handle.
    HANDLE handle = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    state.mailslot.reset(handle);
    state.writeRefused = 0;
    state.SendFixed(channel::kOpenBanner, channel::kOpenBannerBytes, call);
  }
  if (!state.textBuffer) EnsureCapacity(state.textBuffer, state.textCapacity, kFirstTextCapacity, kTextReserve);
  if (!state.wideBuffer) EnsureCapacity(state.wideBuffer, state.wideCapacity, kFirstWideCapacity);
  return 1;
}

}  // namespace tellit

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  using namespace tellit;
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      if (InterlockedIncrement(&attachCount) == 1) {
        ConnectionLock::Create();
        clientState = new (std::nothrow) ClientState;
      }
      break;
    case DLL_PROCESS_DETACH:
      if (InterlockedDecrement(&attachCount) == 0) {
        if (clientState) {
          clientState->Release();
          delete clientState;
          clientState = nullptr;
        }
        ConnectionLock::Destroy();
      }
      break;
    default:
      break;
  }
  return TRUE;
}
