// Attach and detach handling, the connection step and the one routine that writes datagrams.
#include "client/client_state.h"

#include <new>

#include "channel/channel.h"
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

std::uint32_t ClientState::SendDatagram(const void* bytes, std::uint32_t length) noexcept {
  if (!mailslot || writeRefused != 0 || bytes == nullptr || length == 0) return 0;
  DWORD written = 0;
  if (WriteFile(mailslot.get(), bytes, length, &written, nullptr)) return written;
  mailslot.reset();
  return 0;
}

void ClientState::Release() noexcept {
  textBuffer.reset();
  textCapacity = 0;
  wideBuffer.reset();
  wideCapacity = 0;
  mailslot.reset();
}

int OpenChannel() noexcept {
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
    state.SendDatagram(channel::kOpenBanner, channel::kOpenBannerBytes);
  }
  if (!state.textBuffer) EnsureCapacity(state.textBuffer, state.textCapacity, kFirstTextCapacity);
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
