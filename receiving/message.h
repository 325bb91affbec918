// Message: one thing the receiver hands on, from the mailslot or the debug-output listener, with
// what is known of who sent it and when. The text is borrowed from the source until the next one.
// Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// kDebugOutputGlobal: debug output through the global objects, where services write.
enum class MessageSource : uint8_t { kTellit, kDebugOutput, kDebugOutputGlobal };

enum class MessageKind : uint8_t {
  kText,    // a sender's text
  kLost,    // `lost` datagrams of processId never arrived (its sequence skipped)
  kNotice,  // the receiver's own line: a datagram that could not be read, debug output dropped
};

struct Message {
  MessageKind kind = MessageKind::kText;
  MessageSource source = MessageSource::kTellit;
  const uint8_t* text = nullptr;  // the ANSI code page, line ends as sent, no NUL
  std::size_t length = 0;
  // The same text in UTF-8 with every character the sender sent: its exact text where the datagram
  // carries one, else `text` decoded once at intake (U+FFFD for a byte that is no character). The
  // same pointer as `text` where that is ASCII. Null until the receiver's intake sets it.
  const uint8_t* utf8 = nullptr;
  std::size_t utf8Length = 0;
  // The sender's process, known for debug output and for datagrams with a sender trailer.
  bool hasProcessId = false;
  uint32_t processId = 0;
  std::string_view program;  // the sender's file name; empty when it could not be read
  // From the sender trailer: the thread, the process's datagram count and the call's time.
  bool hasTrailer = false;
  uint32_t threadId = 0;
  uint32_t sequence = 0;
  uint64_t sentTime = 0;     // FILETIME, UTC
  uint64_t arrivalTime = 0;  // FILETIME, UTC
  uint32_t lost = 0;         // kLost only
  // Above 0: the text was this many bytes, more than could be read; the text is its start.
  uint64_t cutFrom = 0;
  // The text was cut, by its sender (after its overflow notice) or on reading: it ends its line,
  // whether or not a line end came before the cut, so that the next message starts a line.
  bool cut = false;
};
