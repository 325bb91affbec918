// A recorded stream of messages as the receiver hands them on: texts of several senders, lines in
// parts, a loss, a cut message, debug output, an empty message. The monitor's and tellitcap's
// tests take it through their intake and hold the output against a recording.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "receiving/message.h"

// 01:02:03.<n> local time today, as a FILETIME: a stamp the test knows.
inline uint64_t LocalClock(int milliseconds) {
  SYSTEMTIME local = {};
  GetLocalTime(&local);
  local.wHour = 1;
  local.wMinute = 2;
  local.wSecond = 3;
  local.wMilliseconds = WORD(milliseconds);
  SYSTEMTIME utc = {};
  FILETIME time = {};
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &time)) return 0;
  return uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

struct Recorded {
  std::string text;
  MessageKind kind;
  MessageSource source;
  uint32_t pid;  // 0: no sender known
  bool trailer;
  uint64_t cutFrom;
  bool cut;

  // The message as the receiver hands it on, as the n-th of the stream: a sender's time at
  // 01:02:03.1nn where it has a trailer, the arrival at 01:02:03.5nn.
  Message AsMessage(int n) const {
    Message message;
    message.kind = kind;
    message.source = source;
    message.text = reinterpret_cast<const uint8_t*>(text.data());
    message.length = text.size();
    message.utf8 = message.text;  // every text of the stream is ASCII: its own UTF-8, as the intake makes it
    message.utf8Length = message.length;
    message.hasProcessId = pid != 0;
    message.processId = pid;
    message.program = pid == 4242 ? "a.exe" : pid != 0 ? "dbg.exe" : "";
    message.hasTrailer = trailer;
    message.sequence = uint32_t(n);
    message.sentTime = trailer ? LocalClock(100 + n) : 0;
    message.arrivalTime = LocalClock(500 + n);
    message.cutFrom = cutFrom;
    message.cut = cut;
    if (kind == MessageKind::kLost) message.lost = 2;
    return message;
  }
};

inline const std::vector<Recorded> kStream = {
    {"<< open TELLIT monitor >>\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"first line\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"part one ", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"part two\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"two\nlines\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"debug says hi\n", MessageKind::kText, MessageSource::kDebugOutput, 77, false, 0, false},
    {"<< 2 messages from [4242 a.exe] were lost >>\n", MessageKind::kLost, MessageSource::kTellit, 4242, true, 0,
     false},
    {"cut text without its end", MessageKind::kText, MessageSource::kTellit, 4242, true, 5000, true},
    {"anonymous\n", MessageKind::kText, MessageSource::kTellit, 0, false, 0, false},
    {"split\r", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"\nafter split\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
    {"tab\there\r\n", MessageKind::kText, MessageSource::kDebugOutput, 78, false, 0, false},
    {"last\n", MessageKind::kText, MessageSource::kTellit, 4242, true, 0, false},
};

