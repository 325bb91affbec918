// tellitf and tellitwf: connect, format under the process's mutex, send the overflow notice and the message.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <memory>

#include "channel/channel.h"
#include "client/client_state.h"
#include "client/format_engine.h"
#include "client/text_buffer.h"
#include "client/tellit.h"

namespace tellit {
namespace {

// The values after the format, read from the caller's va_list in the order the format takes them.
class VaListArguments final : public FormatArguments {
 public:
  explicit VaListArguments(va_list list) noexcept { va_copy(list_, list); }
  ~VaListArguments() { va_end(list_); }
  VaListArguments(const VaListArguments&) = delete;
  VaListArguments& operator=(const VaListArguments&) = delete;

  std::int32_t NextInt32() override { return va_arg(list_, std::int32_t); }
  std::int64_t NextInt64() override { return va_arg(list_, std::int64_t); }
  double NextDouble() override { return va_arg(list_, double); }
  const char* NextNarrowString() override { return va_arg(list_, const char*); }
  const wchar_t* NextWideString() override { return va_arg(list_, const wchar_t*); }

 private:
  va_list list_;
};

// Holds the process's mutex for one output call; without a mutex the calls run unserialised.
class MutexHold {
 public:
  explicit MutexHold(HANDLE mutex) noexcept : mutex_(mutex) {
    if (mutex_) WaitForSingleObject(mutex_, INFINITE);
  }
  ~MutexHold() {
    if (mutex_) ReleaseMutex(mutex_);
  }
  MutexHold(const MutexHold&) = delete;
  MutexHold& operator=(const MutexHold&) = delete;

 private:
  HANDLE mutex_;
};

void SendOverflowNotice(ClientState& state) noexcept {
  state.SendDatagram(channel::kOverflowNotice, channel::kOverflowNoticeBytes);
}

// Converts the wide text into the narrow buffer, keeping its last byte back for the NUL.
int ConvertToAnsi(ClientState& state, std::uint32_t wideLength) noexcept {
  return WideCharToMultiByte(CP_ACP, 0, state.wideBuffer.get(), static_cast<int>(wideLength), state.textBuffer.get(),
                             static_cast<int>(state.textCapacity - 1), nullptr, nullptr);
}

// Grows the narrow buffer under the connection lock, which the connection step holds while it
// allocates a missing first buffer: otherwise a first call on another thread could find the
// buffer gone halfway through its replacement and put one of its own in its place.
bool GrowNarrowBuffer(ClientState& state, std::uint64_t need) noexcept {
  ConnectionLock lock;
  return EnsureCapacity(state.textBuffer, state.textCapacity, need);
}

// Formats the message into one of the state's buffers (the caller holds the mutex) and sends
// the overflow notice first when the text had to be cut.
template <typename Char>
FormattedText FormatMessage(ClientState& state, const Char* format, va_list list,
                            std::unique_ptr<Char[]>& buffer, std::uint32_t& capacity) noexcept {
  VaListArguments arguments(list);
  const FormattedText text = FormatIntoBuffer<ConnectionLock>(format, buffer, capacity, arguments);
  if (text.formatted && text.outcome.overflowed) SendOverflowNotice(state);
  return text;
}

int WriteNarrow(const char* format, va_list list) noexcept {
  if (!OpenChannel()) return 0;
  ClientState& state = *clientState;
  MutexHold hold(state.mutex.get());
  const FormattedText text = FormatMessage(state, format, list, state.textBuffer, state.textCapacity);
  if (!text.formatted) return 0;
  return static_cast<int>(state.SendDatagram(state.textBuffer.get(), text.outcome.length + 1));
}

int WriteWide(const wchar_t* format, va_list list) noexcept {
  if (!OpenChannel()) return 0;
  ClientState& state = *clientState;
  MutexHold hold(state.mutex.get());
  const FormattedText text = FormatMessage(state, format, list, state.wideBuffer, state.wideCapacity);
  if (!text.formatted) return 0;
  const std::uint32_t wideLength = text.outcome.length;
  if (!GrowNarrowBuffer(state, NarrowNeed(wideLength))) return 0;
  int converted = ConvertToAnsi(state, wideLength);
  if (converted == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    // Code pages of more than two bytes per character (UTF-8 as the ANSI code page): ask for
    // the size instead of sending an empty message.
    const int need = WideCharToMultiByte(CP_ACP, 0, state.wideBuffer.get(), static_cast<int>(wideLength), nullptr,
                                         0, nullptr, nullptr);
    if (need <= 0) {
      converted = 0;
    } else if (GrowNarrowBuffer(state, static_cast<std::uint64_t>(need) + 1)) {
      converted = ConvertToAnsi(state, wideLength);
    } else {
      return 0;
    }
  }
  // Empty text, like a failed conversion, gives 0 bytes: the datagram is the NUL alone.
  const std::uint32_t bytes = converted > 0 ? static_cast<std::uint32_t>(converted) : 0;
  state.textBuffer[bytes] = '\0';
  return static_cast<int>(state.SendDatagram(state.textBuffer.get(), bytes + 1));
}

}  // namespace
}  // namespace tellit

extern "C" int __cdecl tellitf(const char* format, ...) {
  if (format == nullptr || tellit::clientState == nullptr) return 0;
  va_list list;
  va_start(list, format);
  const int result = tellit::WriteNarrow(format, list);
  va_end(list);
  return result;
}

extern "C" int __cdecl tellitwf(const wchar_t* format, ...) {
  if (format == nullptr || tellit::clientState == nullptr) return 0;
  va_list list;
  va_start(list, format);
  const int result = tellit::WriteWide(format, list);
  va_end(list);
  return result;
}
