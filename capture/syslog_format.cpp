// RFC 5424 messages of captured messages, their TCP framing, and the --syslog target.
#include "capture/syslog_format.h"

#include "capture/record_format.h"
#include "receiving/message_text.h"

namespace capture {

namespace {

// PRINTUSASCII only, at most `longest` characters, "-" for nothing (the RFC's NILVALUE).
std::string HeaderField(const std::string& value, std::size_t longest) {
  std::string field = value.substr(0, longest);
  for (char& c : field) {
    if (c < 33 || c > 126) c = '_';
  }
  return field.empty() ? "-" : field;
}

// A parameter name is 1 to 32 characters without '=', ' ', ']' or '"'.
std::string ParameterValue(const std::string& value) {
  std::string escaped;
  for (const char c : value) {
    if (c == '"' || c == '\\' || c == ']') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

std::string FormatSyslog(const SyslogRecord& record) {
  std::string out = "<15>1 ";
  out += HeaderField(record.timestamp, 32) + " ";
  out += HeaderField(record.hostname, 255) + " ";
  out += HeaderField(record.appName, 48) + " ";
  out += HeaderField(record.procId, 128) + " ";
  out += HeaderField(record.msgId, 32) + " ";
  if (record.parameters.empty()) {
    out += "-";
  } else {
    out += "[";
    out += kSyslogElement;
    for (const auto& parameter : record.parameters) {
      out += " " + parameter.first + "=\"" + ParameterValue(parameter.second) + "\"";
    }
    out += "]";
  }
  const std::string text = WithoutLineEnd(record.text);
  if (!text.empty()) out += " " + text;
  return out;
}

std::string CutToWholeCharacters(std::string message, std::size_t longest) {
  if (message.size() <= longest) return message;
  // The first byte left out is a continuation byte (10xxxxxx) when the cut would split a
  // character: move back to its lead byte, at most the three continuation bytes a character has.
  std::size_t end = longest;
  for (int back = 0; back < 3 && end > 0 && (static_cast<unsigned char>(message[end]) & 0xC0) == 0x80; ++back) --end;
  message.resize(end);
  return message;
}

std::string FrameOctetCounted(const std::string& message) { return std::to_string(message.size()) + " " + message; }

SyslogRecord SyslogRecordOf(const Message& message, const std::string& hostname) {
  SyslogRecord record;
  const bool fromSender = message.hasTrailer && message.kind == MessageKind::kText && message.sentTime != 0;
  record.timestamp = FormatIso8601(UtcFromFileTime(fromSender ? message.sentTime : message.arrivalTime));
  record.hostname = hostname;
  record.msgId = message.source == MessageSource::kTellit ? "tellit" : "debug";
  if (message.kind == MessageKind::kNotice) {
    record.appName = "tellitcap";  // the receiver's own line
  } else {
    record.appName = std::string(message.program);
    if (message.hasProcessId) record.procId = std::to_string(message.processId);
  }
  if (message.hasTrailer && message.kind == MessageKind::kText) {
    record.parameters = {{"seq", std::to_string(message.sequence)}, {"tid", std::to_string(message.threadId)}};
  }
  if (message.kind == MessageKind::kLost) {
    record.parameters = {{"lost", std::to_string(message.lost)}};
    record.text = message_text::LossNotice(message.lost, message.processId, message.program);
  } else {
    record.text.assign(reinterpret_cast<const char*>(message.utf8), message.utf8Length);
  }
  return record;
}

SyslogRecord DroppedRecord(uint64_t dropped, uint64_t arrivalFileTime, const std::string& hostname) {
  SyslogRecord record;
  record.timestamp = FormatIso8601(UtcFromFileTime(arrivalFileTime));
  record.hostname = hostname;
  record.appName = "tellitcap";
  record.msgId = "tellit";
  record.parameters = {{"dropped", std::to_string(dropped)}};
  record.text = "<< " + std::to_string(dropped) +
                " messages could not be kept while the collector was unreachable >>";
  return record;
}

bool ParseSyslogTarget(const std::string& text, SyslogTarget& target, std::string& error) {
  const auto fail = [&error, &text](const std::string& why) {
    error = "--syslog needs tcp://host:port, udp://host:port or tls://host[:port] (" + why + "), not '" + text + "'";
    return false;
  };
  const std::string scheme = text.substr(0, 6);
  if (scheme == "tcp://" || scheme == "tls://") {
    target.tcp = true;
  } else if (scheme == "udp://") {
    target.tcp = false;
  } else {
    return fail("tcp://, udp:// or tls:// first");
  }
  target.tls = scheme == "tls://";
  const std::string rest = text.substr(6);
  std::size_t colon;  // before the port, or npos when there is none
  if (!rest.empty() && rest[0] == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string::npos) return fail("a closing ]");
    if (close + 1 < rest.size() && rest[close + 1] != ':') return fail("a port after the ]");
    target.host = rest.substr(1, close - 1);
    colon = close + 1 < rest.size() ? close + 1 : std::string::npos;
  } else {
    colon = rest.rfind(':');
    target.host = rest.substr(0, colon);
    if (target.host.find(':') != std::string::npos) return fail("an IPv6 address in brackets");
  }
  if (target.host.empty()) return fail("a host");
  if (colon == std::string::npos) {
    if (!target.tls) return fail("a port");
    target.port = kSyslogTlsPort;
    return true;
  }
  const std::string port = rest.substr(colon + 1);
  if (port.empty() || port.size() > 5) return fail("a port from 1 to 65535");
  unsigned long number = 0;
  for (const char c : port) {
    if (c < '0' || c > '9') return fail("a port from 1 to 65535");
    number = number * 10 + static_cast<unsigned long>(c - '0');
  }
  if (number == 0 || number > 65535) return fail("a port from 1 to 65535");
  target.port = static_cast<uint16_t>(number);
  return true;
}

}  // namespace capture
