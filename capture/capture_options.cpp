// Parsing tellitcap's command line, and its usage text.
#include "capture/capture_options.h"

#include <cstddef>

#include "capture/syslog_format.h"
#include "receiving/rotation_rule.h"

namespace capture {

namespace {

constexpr uint64_t kMaxUint64 = ~uint64_t{0};

// A whole decimal number without sign; false for anything else or a value beyond the type.
bool ParseCount(const std::string& text, uint64_t& value) {
  if (text.empty()) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (kMaxUint64 - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

// Seconds as a decimal number with at most three decimals ("2", "0.5", "1.250"), in milliseconds.
bool ParseSeconds(const std::string& text, uint64_t& milliseconds) {
  const std::size_t point = text.find('.');
  const std::string whole = text.substr(0, point);
  std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
  if (point != std::string::npos && fraction.empty()) return false;  // "2." is a slip, not a number
  if (fraction.size() > 3) return false;
  uint64_t seconds = 0;
  uint64_t thousandths = 0;
  if (whole.empty() ? fraction.empty() : !ParseCount(whole, seconds)) return false;
  if (!fraction.empty()) {
    fraction.append(3 - fraction.size(), '0');
    if (!ParseCount(fraction, thousandths)) return false;
  }
  if (seconds > kMaxSeconds) return false;
  milliseconds = seconds * 1000 + thousandths;
  return true;
}

}  // namespace

bool ParseByteSize(const std::string& text, uint64_t& bytes) {
  if (text.empty()) return false;
  int shift = 0;
  switch (text.back()) {
    case 'k': case 'K': shift = 10; break;
    case 'm': case 'M': shift = 20; break;
    case 'g': case 'G': shift = 30; break;
    default: break;
  }
  uint64_t number = 0;
  if (!ParseCount(shift == 0 ? text : text.substr(0, text.size() - 1), number)) return false;
  if (number > kMaxUint64 >> shift) return false;
  bytes = number << shift;
  return true;
}

namespace {

// One option of the command line: its spellings (the first is the one messages name), whether it
// takes a value, whether it may come again, what "is given twice" calls it (null: the spelling
// given), and what it does with its value: "" when taken, else the error.
struct OptionRow {
  const char* names[3];
  bool takesValue;
  bool repeatable;
  const char* twice;
  std::string (*apply)(CaptureOptions& options, const std::string& name, const std::string& value, bool joined);
};

std::string Set(bool& flag) {
  flag = true;
  return "";
}

// A value that looks like the next option is a forgotten file name far more often than a file or
// pattern that begins with a dash: one is taken only as --name=-value.
std::string FileName(std::string& target, const std::string& name, const std::string& value) {
  if (value.empty() || value[0] == '-') return name + " needs a file name";
  target = value;
  return "";
}

std::string Pattern(const std::string& name, const std::string& value, bool joined) {
  if (value.empty()) return name + " needs a pattern";
  if (value[0] == '-' && !joined) return name + " needs a pattern (one that begins with - is written " + name + "=" + value + ")";
  return "";
}

const OptionRow kOptions[] = {
    {{"--help", "-h", "/?"}, false, true, nullptr,
     [](CaptureOptions& o, const std::string&, const std::string&, bool) { return Set(o.help); }},
    {{"--json"}, false, false, nullptr, [](CaptureOptions& o, const std::string&, const std::string&, bool) { return Set(o.json); }},
    {{"--senders"}, false, false, nullptr,
     [](CaptureOptions& o, const std::string&, const std::string&, bool) { return Set(o.senders); }},
    {{"--debug-output"}, false, false, nullptr,
     [](CaptureOptions& o, const std::string&, const std::string&, bool) { return Set(o.debugOutput); }},
    {{"--debug-output-global"}, false, false, nullptr,
     [](CaptureOptions& o, const std::string&, const std::string&, bool) { return Set(o.debugOutputGlobal); }},
    {{"--insecure"}, false, false, nullptr,
     [](CaptureOptions& o, const std::string&, const std::string&, bool) { return Set(o.insecure); }},
    {{"--daily"}, false, false, nullptr, [](CaptureOptions& o, const std::string&, const std::string&, bool) { return Set(o.daily); }},
    {{"--time"}, true, false, nullptr,
     [](CaptureOptions& o, const std::string&, const std::string& value, bool) -> std::string {
       const char* const kForms[] = {"clock", "date", "elapsed", "delta"};
       for (int form = 0; form < 4; ++form) {
         if (value == kForms[form]) o.timeForm = form;
       }
       return o.timeForm < 0 ? "--time takes clock, date, elapsed or delta, not '" + value + "'" : "";
     }},
    {{"-o", "--output"}, true, false, "the output file",
     [](CaptureOptions& o, const std::string& name, const std::string& value, bool) { return FileName(o.outputFile, name, value); }},
    {{"--ca"}, true, false, nullptr,
     [](CaptureOptions& o, const std::string& name, const std::string& value, bool) { return FileName(o.caFile, name, value); }},
    {{"--client-cert"}, true, false, nullptr,
     [](CaptureOptions& o, const std::string& name, const std::string& value, bool) {
       return FileName(o.clientCertFile, name, value);
     }},
    {{"--count"}, true, false, nullptr,
     [](CaptureOptions& o, const std::string&, const std::string& value, bool) -> std::string {
       if (ParseCount(value, o.count) && o.count != 0) return "";
       return "--count needs a whole number of messages above 0, not '" + value + "'";
     }},
    {{"--seconds"}, true, false, nullptr,
     [](CaptureOptions& o, const std::string&, const std::string& value, bool) -> std::string {
       if (ParseSeconds(value, o.milliseconds) && o.milliseconds != 0) return "";
       return "--seconds needs a number of seconds above 0 (at most three decimals), not '" + value + "'";
     }},
    {{"--max-size"}, true, false, nullptr,
     [](CaptureOptions& o, const std::string&, const std::string& value, bool) -> std::string {
       if (ParseByteSize(value, o.maxSize) && o.maxSize != 0) return "";
       return "--max-size needs a size above 0 in bytes, or with K, M or G, not '" + value + "'";
     }},
    {{"--keep"}, true, false, nullptr,
     [](CaptureOptions& o, const std::string&, const std::string& value, bool) -> std::string {
       uint64_t keep = 0;
       if (!ParseCount(value, keep) || keep > rotation::kMaxKeep) {
         return "--keep needs a number of files from 0 to " + std::to_string(rotation::kMaxKeep) + ", not '" + value + "'";
       }
       o.keep = static_cast<uint32_t>(keep);
       return "";
     }},
    {{"--queue"}, true, false, nullptr,
     [](CaptureOptions& o, const std::string&, const std::string& value, bool) -> std::string {
       if (ParseCount(value, o.queue) && o.queue != 0 && o.queue <= kMaxQueue) return "";
       return "--queue needs a number of messages from 1 to " + std::to_string(kMaxQueue) + ", not '" + value + "'";
     }},
    {{"--syslog"}, true, false, nullptr,
     [](CaptureOptions& o, const std::string&, const std::string& value, bool) -> std::string {
       SyslogTarget target;
       std::string error;
       if (!ParseSyslogTarget(value, target, error)) return error;
       o.syslog = value;
       return "";
     }},
    {{"--include"}, true, true, nullptr,
     [](CaptureOptions& o, const std::string& name, const std::string& value, bool joined) {
       std::string error = Pattern(name, value, joined);
       if (error.empty()) o.includes.push_back(value);
       return error;
     }},
    {{"--exclude"}, true, true, nullptr,
     [](CaptureOptions& o, const std::string& name, const std::string& value, bool joined) {
       std::string error = Pattern(name, value, joined);
       if (error.empty()) o.excludes.push_back(value);
       return error;
     }},
    {{"--program"}, true, true, nullptr,
     [](CaptureOptions& o, const std::string& name, const std::string& value, bool joined) {
       std::string error = Pattern(name, value, joined);
       if (error.empty()) o.programs.push_back(value);
       return error;
     }},
    {{"--until"}, true, false, nullptr,
     [](CaptureOptions& o, const std::string& name, const std::string& value, bool joined) {
       std::string error = Pattern(name, value, joined);
       if (error.empty()) o.until = value;
       return error;
     }},
};
constexpr std::size_t kOptionCount = sizeof kOptions / sizeof kOptions[0];

const OptionRow* FindOption(const std::string& name) {
  for (const OptionRow& row : kOptions) {
    for (const char* spelling : row.names) {
      if (spelling && name == spelling) return &row;
    }
  }
  return nullptr;
}

}  // namespace

ParsedArguments ParseCaptureArguments(const std::vector<std::string>& arguments) {
  ParsedArguments parsed;
  CaptureOptions& options = parsed.options;
  bool seen[kOptionCount] = {};
  const auto given = [&seen](const char* name) { return seen[std::size_t(FindOption(name) - kOptions)]; };
  const auto fail = [&parsed](const std::string& error) {
    parsed.ok = false;
    parsed.error = error;
    return parsed;
  };

  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    std::string value;
    const std::size_t equals = name.find('=');
    const bool joined = name.compare(0, 2, "--") == 0 && equals != std::string::npos;
    if (joined) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
    }
    const OptionRow* row = FindOption(name);
    if (!row) {
      if (!name.empty() && (name[0] == '-' || name[0] == '/')) return fail("unknown option " + name);
      return fail("unexpected argument '" + name + "'");
    }
    if (!row->takesValue && joined) return fail(name + " takes no value");
    if (row->takesValue && !joined) {
      if (i + 1 >= arguments.size()) return fail(name + " needs a value");
      value = arguments[++i];
    }
    bool& once = seen[std::size_t(row - kOptions)];
    if (once && !row->repeatable) return fail(std::string(row->twice ? row->twice : name.c_str()) + " is given twice");
    once = true;
    const std::string error = row->apply(options, name, value, joined);
    if (!error.empty()) return fail(error);
  }
  const bool rotates = given("--max-size") || options.daily;
  if ((rotates || given("--keep")) && options.outputFile.empty()) {
    return fail("--max-size, --keep and --daily rotate the output file: they need -o FILE");
  }
  if (given("--keep") && !rotates) return fail("--keep needs --max-size or --daily");
  if (given("--queue") && options.syslog.empty()) return fail("--queue needs --syslog");
  const bool tls = options.syslog.compare(0, 6, "tls://") == 0;
  if (!tls && (!options.caFile.empty() || !options.clientCertFile.empty() || options.insecure)) {
    return fail("--ca, --client-cert and --insecure need --syslog tls://");
  }
  if (options.insecure && !options.caFile.empty()) {
    return fail("--insecure checks no certificate: it cannot go with --ca");
  }
  if (options.json && options.timeForm >= 0) return fail("--time is for the text form: --json writes its times");
  // The global objects as well as the session's: services and this session's programs alike.
  if (options.debugOutputGlobal) options.debugOutput = true;
  parsed.ok = true;
  return parsed;
}

const char* CaptureUsage() {
  return "usage: tellitcap [-o FILE [--max-size SIZE] [--keep N] [--daily]] [--json] [--senders]\n"
         "                 [--time clock|date|elapsed|delta]\n"
         "                 [--syslog tcp://HOST:PORT|udp://HOST:PORT|tls://HOST[:PORT] [--queue N]\n"
         "                  [--ca FILE] [--client-cert FILE] [--insecure]]\n"
         "                 [--count N] [--seconds S] [--until PATTERN] [--debug-output]\n"
         "                 [--debug-output-global]\n"
         "                 [--include PATTERN]... [--exclude PATTERN]... [--program NAME]...\n"
         "Captures the messages that programs send through tellit.dll, without a window, and\n"
         "writes each as it arrives.\n"
         "  -o, --output FILE  append to FILE instead of writing to standard output\n"
         "  --max-size SIZE    rotate FILE before a message would take it past SIZE bytes (K, M,\n"
         "                     G allowed: 10M): FILE becomes FILE.1 before its extension\n"
         "                     (run.log: run.1.log), older ones move up one, a new FILE starts;\n"
         "                     a message is never split, one larger than SIZE goes alone\n"
         "  --keep N           older files kept by a rotation (default 5, 0 to 999)\n"
         "  --daily            also rotate FILE when a new local day begins\n"
         "  --syslog TARGET    also send each message to a syslog collector, as RFC 5424 (TCP with\n"
         "                     octet counting): APP-NAME the sender's program, PROCID its pid,\n"
         "                     MSGID tellit or debug, [tellit@32473 seq tid]; without -o nothing\n"
         "                     is written here. A lost connection is tried again after 0.1 s,\n"
         "                     doubling up to 5 s; at the end the queue is given 5 s to be sent\n"
         "                     tls:// (RFC 5425, port 6514 when none is given): the same stream\n"
         "                     in TLS 1.2 or newer; the collector's certificate must be valid\n"
         "                     for HOST and chain to a root the system trusts. A refused one is\n"
         "                     said why on standard error and nothing is sent: it is tried\n"
         "                     again as a collector that is down\n"
         "  --ca FILE          trust the CA certificate in FILE (PEM or DER) alone instead\n"
         "  --client-cert FILE the certificate and private key for collectors that ask for one:\n"
         "                     a PKCS#12 file (.pfx, .p12), its password in the environment\n"
         "                     variable TELLITCAP_CERT_PASSWORD (none when it is not set)\n"
         "  --insecure         check no certificate at all (said at start): anyone on the way\n"
         "                     can read and change the messages\n"
         "  --queue N          messages kept while the collector cannot be reached (default\n"
         "                     10000, at most 16 MiB in all); those past it are counted and\n"
         "                     told in one message\n"
         "  --json             one JSON object per line: time (UTC), source (tellit, debug or\n"
         "                     debug-output-global), pid, and for tellit messages tid, seq\n"
         "                     and sent (the sender's time, UTC) where known, and text\n"
         "                     (UTF-8); lost messages of a\n"
         "                     sender as {\"time\":...,\"source\":\"tellit\",\"lost\":N,\"pid\":P}\n"
         "  --senders          text form: \"[pid program] \" before each tellit message\n"
         "  --time FORM        text form: a time before every line, as the monitor shows it:\n"
         "                     clock (hh:mm:ss.mmm), date (yyyy-mm-dd hh:mm:ss.mmm), elapsed\n"
         "                     (seconds since the start) or delta (since the line before); the\n"
         "                     sender's time where the message has one, else its arrival\n"
         "  --count N          stop after N messages written (the connection banners count\n"
         "                     too, messages a filter leaves out do not)\n"
         "  --seconds S        stop after S seconds (decimals allowed: 0.5)\n"
         "  --until PATTERN    stop once a message whose text matches PATTERN (as --include\n"
         "                     matches) is written; with --seconds, whichever comes first, and\n"
         "                     the exit status says whether it came (4: the time ran out\n"
         "                     first). --count and the filters apply as without it\n"
         "  --debug-output     also capture OutputDebugString from every program\n"
         "  --debug-output-global\n"
         "                     that, and the global debug output where services write\n"
         "                     (JSON source debug-output-global); creating its objects needs\n"
         "                     SeCreateGlobalPrivilege: without it one line says so on standard\n"
         "                     error and this session's debug output is captured alone\n"
         "  --include PATTERN  write a message whose text matches PATTERN\n"
         "  --program NAME     write a message of a program whose file name matches NAME\n"
         "  --exclude PATTERN  leave out a message whose text matches PATTERN\n"
         "                     Each may be given many times. Without --include and --program\n"
         "                     every message is written; with them, those that any of them\n"
         "                     matches. --exclude wins over both. A pattern matches anywhere\n"
         "                     in the text or name, * any run of characters, ? one character,\n"
         "                     letters in either case (\"keep*\" matches \"we KEEP it\"). The\n"
         "                     banners, lost-message records and notices are always written.\n"
         "  -h, --help         print this text\n"
         "Ctrl+C and Ctrl+Break stop it too; every stop writes what was received and exits 0.\n"
         "Exit status: 0 stopped as asked (the count, the --until pattern, the time without\n"
         "--until, a stop), 1 bad arguments, 2 another program owns the mailslot or the debug\n"
         "output, 3 the output could not be written or the capture could not start, 4 the time\n"
         "ran out before the --until pattern came.\n";
}

}  // namespace capture
