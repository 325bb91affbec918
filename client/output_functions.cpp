// tellitf and tellitwf: under the process's lock, connect, format, send the overflow notice and the message.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <memory>

#include "channel/channel.h"
#include "client/ansi_code_page.h"
#include "client/client_state.h"
#include "client/format_engine.h"
#include "client/text_buffer.h"
#include "client/tellit.h"
#include "client/va_list_arguments.h"

namespace tellit {
namespace {

bool GrowNarrowBuffer(ClientState& state, std::uint64_t need) noexcept {
  return EnsureCapacity(state.textBuffer, state.textCapacity, need, kTextReserve);
}

template <typename Char>
FormattedText FormatMessage(const Char* format, va_list list, std::unique_ptr<Char[]>& buffer, std::uint32_t& capacity,
                            std::size_t reserve, AnsiCodePage& codePage) noexcept {
  VaListArguments arguments(list);
  return FormatIntoBuffer(format, buffer, capacity, arguments, codePage, reserve);
}

// Sends the text of `length` bytes, after the overflow notice when it was cut: both leave while
// the caller holds the lock, so no other datagram comes between them.
int SendMessage(ClientState& state, std::uint32_t length, bool cut, const CallStamp& call) noexcept {
  if (cut) state.SendFixed(channel::kOverflowNotice, channel::kOverflowNoticeBytes, call);
  return static_cast<int>(state.SendDatagram(state.textBuffer.get(), length + 1, call));
}

int WriteNarrow(const char* format, va_list list) noexcept {
  const CallStamp call = CallStamp::Now();
  ConnectionLock lock;
  if (!OpenChannel(call)) return 0;
  ClientState& state = *clientState;
  AnsiCodePage codePage;
  const FormattedText text = FormatMessage(format, list, state.textBuffer, state.textCapacity, kTextReserve, codePage);
  if (!text.formatted) return 0;
  std::uint32_t length = text.outcome.length;
  if (text.outcome.overflowed) {
    // The cut may have split a double-byte character of the text or of an argument.
    length = static_cast<std::uint32_t>(codePage.WholeCharacters(state.textBuffer.get(), length));
    state.textBuffer[length] = '\0';
  }
  return SendMessage(state, length, text.outcome.overflowed, call);
}

int WriteWide(const wchar_t* format, va_list list) noexcept {
  const CallStamp call = CallStamp::Now();
  ConnectionLock lock;
  if (!OpenChannel(call)) return 0;
  ClientState& state = *clientState;
  AnsiCodePage codePage;
  const FormattedText text = FormatMessage(format, list, state.wideBuffer, state.wideCapacity, 0, codePage);
  if (!text.formatted) return 0;
  const std::uint32_t wideLength = WholeWideLength(state.wideBuffer.get(), text.outcome.length);
  state.wideBuffer[wideLength] = L'\0';
  if (!GrowNarrowBuffer(state, UpToLargestText(NarrowNeed(wideLength)))) return 0;
  Converted converted = codePage.ToNarrow(state.wideBuffer.get(), state.textBuffer.get(), state.textCapacity - 1);
  if (!converted.complete && state.textCapacity < kLargestText) {
    // Code pages of more than two bytes per character (UTF-8 as the ANSI code page): ask for
    // the size instead of sending the text cut.
    const int need = WideCharToMultiByte(CP_ACP, 0, state.wideBuffer.get(), static_cast<int>(wideLength), nullptr,
                                         0, nullptr, nullptr);
    if (need <= 0 || !GrowNarrowBuffer(state, UpToLargestText(static_cast<std::uint64_t>(need) + 1))) return 0;
    converted = codePage.ToNarrow(state.wideBuffer.get(), state.textBuffer.get(), state.textCapacity - 1);
  }
  // Text that converts to more than the monitor takes keeps the whole characters that fit.
  const auto bytes = static_cast<std::uint32_t>(converted.units);
  state.textBuffer[bytes] = '\0';
  return SendMessage(state, bytes, text.outcome.overflowed || !converted.complete, call);
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
