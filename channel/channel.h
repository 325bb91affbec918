// The message channel shared by tellit.dll and vigilo.exe: mailslot name, fixed datagrams, sizes.
#pragma once

#include <cstdio>
#include <cstring>

namespace channel {

// "\\.\mailslot\%s": the full stop as host part keeps the mailslot on the local machine.
inline constexpr char kNamePattern[] = "\\\\.\\mailslot\\%s";
inline constexpr char kBaseName[] = "tellit_monitor";
inline constexpr unsigned kNameBufferSize = 260;

// Sent by a client right after each successful open, before any message of that connection.
inline constexpr char kOpenBanner[] = "<< open TELLIT monitor >>\n";
inline constexpr unsigned kOpenBannerBytes = sizeof kOpenBanner;  // 27, NUL included

// Sent by a client immediately before a message whose text had to be cut.
inline constexpr char kOverflowNotice[] = "tellitf() string buffer overflow !!\n";
inline constexpr unsigned kOverflowNoticeBytes = sizeof kOverflowNotice;  // 37, NUL included

// Whether a datagram's text (up to its NUL) is the overflow notice: the sender's next datagram
// is its message, cut.
inline bool IsOverflowNotice(const void* text, std::size_t length) {
  return length == kOverflowNoticeBytes - 1 && std::memcmp(text, kOverflowNotice, length) == 0;
}

// The monitor reads one datagram into a buffer of at most this many bytes.
inline constexpr unsigned kReceiveCeiling = 0x100000;

// Forms the mailslot name into a buffer of kNameBufferSize characters.
inline void FormatMailslotName(char (&name)[kNameBufferSize]) {
  std::snprintf(name, sizeof name, kNamePattern, kBaseName);
}

static_assert(kOpenBannerBytes == 27, "the open banner is 26 characters and a NUL");
static_assert(kOverflowNoticeBytes == 37, "the overflow notice is 36 characters and a NUL");

}  // namespace channel
