// tellitcap's command line: what it captures, where it writes, when it stops; parsed portably.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace capture {

struct CaptureOptions {
  std::string outputFile;          // empty: standard output
  bool json = false;               // one JSON object per message instead of the text
  bool debugOutput = false;        // also listen to OutputDebugString
  bool debugOutputGlobal = false;  // and to the global objects, where services write (implies debugOutput)
  bool senders = false;            // text form: "[pid program] " before each tellit message
  // --time: text form, a stamp before every line in this form (0 clock, 1 date, 2 elapsed since
  // the start, 3 since the line before; as the monitor numbers them); -1: none.
  int timeForm = -1;
  uint64_t count = 0;              // stop after this many messages; 0: no limit
  uint64_t milliseconds = 0;       // stop after this long; 0: no limit
  bool help = false;               // --help: print the usage and exit 0
  // Rotation of the output file (-o only).
  uint64_t maxSize = 0;            // bytes; 0: no limit
  uint32_t keep = 5;               // older files kept
  bool daily = false;              // a new file each local day
  // --syslog: each message also to this collector ("tcp://host:port", "udp://host:port" or
  // "tls://host[:port]").
  std::string syslog;
  uint64_t queue = 10000;          // messages kept while the collector cannot be reached
  // tls:// only. The collector's certificate is checked against the system's trusted roots, or
  // against the CA of --ca alone; --insecure checks nothing (and says so at start).
  std::string caFile;              // --ca: PEM or DER
  std::string clientCertFile;      // --client-cert: PKCS#12 (.pfx/.p12) with its private key
  bool insecure = false;
  // Filters (each option repeatable), wildcard patterns ignoring case: a message is written when
  // no --include or --program is given or one of them matches, and no --exclude matches.
  std::vector<std::string> includes;  // --include: the message text
  std::vector<std::string> excludes;  // --exclude: the message text
  std::vector<std::string> programs;  // --program: the sender's program name
  // --until: end after the first message written whose text matches (a pattern as the filters
  // take it); empty: none.
  std::string until;
};

inline constexpr uint64_t kMaxQueue = 1000000;

struct ParsedArguments {
  bool ok = false;
  std::string error;  // when !ok: one line on what was wrong
  CaptureOptions options;
};

// The longest capture --seconds accepts: ten years keeps every millisecond sum far from overflow.
inline constexpr uint64_t kMaxSeconds = 10ull * 366 * 24 * 60 * 60;

// A size in bytes: a whole number, optionally followed by K, M or G (1024, 1024^2, 1024^3; either
// case). False for anything else or a value beyond 64 bits.
bool ParseByteSize(const std::string& text, uint64_t& bytes);

// Parses the arguments after the program name. "--name value" and "--name=value" both work;
// an option given twice (but the filters, which are repeatable), an unknown one, a missing or
// malformed value, or a stray word is an error.
ParsedArguments ParseCaptureArguments(const std::vector<std::string>& arguments);

// The usage text, several lines ending with a line feed.
const char* CaptureUsage();

}  // namespace capture
