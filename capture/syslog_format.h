// How tellitcap sends a message to a syslog collector: one RFC 5424 message per capture, with
// octet-counting framing on TCP (RFC 6587), and the --syslog target. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "receiving/message.h"

namespace capture {

// The private enterprise number of the structured data element "tellit@32473".
inline constexpr char kSyslogElement[] = "tellit@32473";

struct SyslogRecord {
  std::string timestamp;  // RFC 3339 in UTC, "2024-05-06T07:08:09.123Z"
  std::string hostname;   // the capturing machine
  std::string appName;    // the sender's program
  std::string procId;     // its process id; empty when not known
  std::string msgId;      // "tellit" or "debug"
  std::vector<std::pair<std::string, std::string>> parameters;  // of the element; none: "-"
  std::string text;       // UTF-8
};

// "<15>1 TIMESTAMP HOSTNAME APP-NAME PROCID MSGID SD MSG" (facility user, severity debug). Header
// fields keep printable ASCII only (others become '_'), cut to their RFC lengths, "-" when empty;
// parameter values are escaped; the text loses its line ends at the end.
std::string FormatSyslog(const SyslogRecord& record);

// The longest message tellitcap sends. UDP: what one datagram over IPv4 carries (65,535 bytes less
// the IP and UDP headers), loopback included; a collector takes what it is configured for
// (RFC 5426 asks for 2,048 bytes at least). TCP: 200,000 bytes, the longest octet-counted frame
// collectors take as they come (rsyslog's default; past it they read the frame as plain text and
// garble it).
inline constexpr std::size_t kLongestUdpMessage = 65507;
inline constexpr std::size_t kLongestTcpMessage = 200000;

// `message` when it has at most `longest` bytes, else cut to at most that many at a whole
// UTF-8 character (the header is ASCII, so the cut falls in the MSG).
std::string CutToWholeCharacters(std::string message, std::size_t longest);

// "LEN SP MESSAGE": a frame of the TCP stream.
std::string FrameOctetCounted(const std::string& message);

// The record of a received message: the sender's time when its trailer gave one, else the arrival
// time; the text decoded from the ANSI code page. A lost-messages record and a notice carry the
// texts the monitor shows for them.
SyslogRecord SyslogRecordOf(const Message& message, const std::string& hostname);

// The record tellitcap sends when the connection is back after `dropped` messages did not fit
// into its queue.
SyslogRecord DroppedRecord(uint64_t dropped, uint64_t arrivalFileTime, const std::string& hostname);

// The port of syslog over TLS (RFC 5425), taken when tls:// names none.
inline constexpr uint16_t kSyslogTlsPort = 6514;

struct SyslogTarget {
  bool tcp = true;   // a stream with octet counting: tcp:// and tls://
  bool tls = false;  // tls://: that stream inside TLS
  std::string host;
  uint16_t port = 0;
};

// "tcp://host:port", "udp://host:port" or "tls://host[:port]" (a host name, an IPv4 address or
// [IPv6]); false with a one-line reason.
bool ParseSyslogTarget(const std::string& text, SyslogTarget& target, std::string& error);

}  // namespace capture
