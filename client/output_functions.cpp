// tellitf, tellitwf and tellitu8f: under the process's lock, connect, format, send the overflow notice and the message.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <memory>

#include "channel/channel.h"
#include "channel/exact_text.h"
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

bool IsAscii(const char* text, std::uint32_t length) noexcept {
  for (std::uint32_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  }
  return true;
}

bool IsAscii(const wchar_t* text, std::uint32_t length) noexcept {
  for (std::uint32_t i = 0; i < length; ++i) {
    if (text[i] >= 0x80) return false;
  }
  return true;
}

// Writes the exact-text footer after the text of `length` bytes, its NUL and the `utf8Length`
// bytes already put after it; returns the bytes of the whole block.
std::uint32_t PutExactFooter(char* text, std::uint32_t length, UINT codePage, std::uint32_t utf8Length) noexcept {
  channel::EncodeExactFooter(codePage, utf8Length, reinterpret_cast<std::uint8_t*>(text + length + 1 + utf8Length));
  return static_cast<std::uint32_t>(channel::ExactBlockBytes(utf8Length));
}

// Sends the text of `length` bytes, its NUL and the `block` bytes of exact text after it, after the
// overflow notice when it was cut: both leave while the caller holds the lock, so no other
// datagram comes between them. Returns the bytes of the text and its NUL, as before the block was.
int SendMessage(ClientState& state, std::uint32_t length, std::uint32_t block, bool cut, const CallStamp& call) noexcept {
  if (cut) state.SendFixed(channel::kOverflowNotice, channel::kOverflowNoticeBytes, call);
  return state.SendDatagram(state.textBuffer.get(), length + 1 + block, call) != 0 ? static_cast<int>(length + 1) : 0;
}

// Text in the ANSI code page, `length` bytes in the text buffer. Where that code page is UTF-8 and
// the text is no ASCII, a footer says so: a reader in another code page would read it wrong.
int SendNarrow(ClientState& state, const AnsiCodePage& codePage, std::uint32_t length, bool cut,
               const CallStamp& call) noexcept {
  char* text = state.textBuffer.get();
  std::uint32_t block = 0;
  if (codePage.IsUtf8() && !IsAscii(text, length)) {
    if (length + 1 + channel::kExactFooterBytes > kLargestText) {
      length = static_cast<std::uint32_t>(codePage.WholeCharacters(text, kLargestText - 1 - channel::kExactFooterBytes));
      text[length] = '\0';
      cut = true;
    }
    block = PutExactFooter(text, length, codePage.codePage(), 0);
  }
  return SendMessage(state, length, block, cut, call);
}

// Wide text of `wideLength` units in the wide buffer, sent converted to the ANSI code page, and
// after its NUL the exact text where the converted text does not give it back. Text whose exact
// text makes the datagram too long is cut to whole characters until it fits; text that needs none
// is cut where it always was.
int SendWide(ClientState& state, AnsiCodePage& codePage, std::uint32_t wideLength, bool cut,
             const CallStamp& call) noexcept {
  wchar_t* wide = state.wideBuffer.get();
  const bool ascii = IsAscii(wide, wideLength);
  const AnsiCodePage utf8(CP_UTF8);
  for (;;) {
    wide[wideLength] = L'\0';
    const std::uint64_t need = ascii ? NarrowNeed(wideLength) : ExactTextNeed(wideLength, codePage.IsUtf8());
    if (!GrowNarrowBuffer(state, UpToLargestText(need))) return 0;
    Converted converted = codePage.ToNarrow(wide, state.textBuffer.get(), state.textCapacity - 1);
    if (!converted.complete && state.textCapacity < kLargestText) {
      // Code pages of more than two bytes per character (UTF-8 as the ANSI code page): ask for
      // the size instead of sending the text cut.
      const int more = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(wideLength), nullptr, 0, nullptr, nullptr);
      if (more <= 0 || !GrowNarrowBuffer(state, UpToLargestText(static_cast<std::uint64_t>(more) + 1))) return 0;
      converted = codePage.ToNarrow(wide, state.textBuffer.get(), state.textCapacity - 1);
    }
    // Text that converts to more than the monitor takes keeps the whole characters that fit.
    char* text = state.textBuffer.get();
    const auto bytes = static_cast<std::uint32_t>(converted.units);
    text[bytes] = '\0';
    cut = cut || !converted.complete;
    // UTF-8 as the ANSI code page: the text is exact as it stands, cut or not; the footer says so.
    if (ascii || codePage.IsUtf8()) return SendNarrow(state, codePage, bytes, cut, call);
    std::size_t matched = 0;
    const bool givesBack = codePage.GivesBack(text, bytes, wide, wideLength, matched);
    if (givesBack && (matched == wideLength || !converted.complete)) return SendMessage(state, bytes, 0, cut, call);
    std::uint64_t whole = 0;
    if (converted.complete) {
      const std::uint64_t exact = utf8.NarrowBytes(wide, wideLength);
      if (exact == 0) return SendMessage(state, bytes, 0, cut, call);  // the system could not say
      whole = bytes + 1 + exact + channel::kExactFooterBytes;
      if (whole <= state.textCapacity) {
        const int made = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(wideLength), text + bytes + 1,
                                             static_cast<int>(exact), nullptr, nullptr);
        const std::uint32_t block =
            made > 0 ? PutExactFooter(text, bytes, codePage.codePage(), static_cast<std::uint32_t>(made)) : 0;
        return SendMessage(state, bytes, block, cut, call);
      }
    } else {
      whole = codePage.NarrowBytes(wide, wideLength) + 1 + utf8.NarrowBytes(wide, wideLength) + channel::kExactFooterBytes;
    }
    wideLength = WholeWideLength(wide, ShareThatFits(wideLength, whole, kLargestText));
    cut = true;
  }
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
  return SendNarrow(state, codePage, length, text.outcome.overflowed, call);
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
  return SendWide(state, codePage, wideLength, text.outcome.overflowed, call);
}

int WriteUtf8(const char* format, va_list list) noexcept {
  const CallStamp call = CallStamp::Now();
  ConnectionLock lock;
  if (!OpenChannel(call)) return 0;
  ClientState& state = *clientState;
  // The format and its %s and %c are UTF-8 already; %ls and %lc become UTF-8.
  AnsiCodePage utf8(CP_UTF8);
  const FormattedText text = FormatMessage(format, list, state.textBuffer, state.textCapacity, kTextReserve, utf8);
  if (!text.formatted) return 0;
  char* bytes = state.textBuffer.get();
  std::uint32_t length = text.outcome.length;
  if (text.outcome.overflowed) {
    length = static_cast<std::uint32_t>(utf8.WholeCharacters(bytes, length));
    bytes[length] = '\0';
  }
  AnsiCodePage codePage;
  if (codePage.IsUtf8() || IsAscii(bytes, length)) return SendNarrow(state, codePage, length, text.outcome.overflowed, call);
  // Another ANSI code page: the text goes as tellitwf's, through its wide form (a byte that is no
  // UTF-8 becomes U+FFFD there).
  if (!EnsureCapacity(state.wideBuffer, state.wideCapacity, static_cast<std::uint64_t>(length) + 1)) return 0;
  const int units = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(length), state.wideBuffer.get(),
                                        static_cast<int>(state.wideCapacity - 1));
  if (units <= 0) return 0;
  return SendWide(state, codePage, static_cast<std::uint32_t>(units), text.outcome.overflowed, call);
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

extern "C" int __cdecl tellitu8f(const char* format, ...) {
  if (format == nullptr || tellit::clientState == nullptr) return 0;
  va_list list;
  va_start(list, format);
  const int result = tellit::WriteUtf8(format, list);
  va_end(list);
  return result;
}
