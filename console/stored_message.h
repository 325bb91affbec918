// StoredMessage: what the console keeps about each message beside its text (20 bytes), and the
// table of program names the records point into.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct StoredMessage {
  // Times as FILETIME (UTC, 100 ns units): when the monitor took the message, and the sender's
  // call (0 when the message carries none). The sender's time is kept as its distance from the
  // arrival, which on one machine is short: one further than about 3.5 minutes either way is not
  // kept (Sent gives 0).
  uint64_t Arrival() const { return uint64_t(arrivalHigh) << 32 | arrivalLow; }
  uint64_t Sent() const { return sentOffset == kNoSentTime ? 0 : Arrival() + uint64_t(int64_t(sentOffset)); }
  void SetTimes(uint64_t arrival, uint64_t sent) {
    arrivalLow = uint32_t(arrival);
    arrivalHigh = uint32_t(arrival >> 32);
    const int64_t offset = int64_t(sent - arrival);
    sentOffset = sent != 0 && offset > kNoSentTime && offset <= INT32_MAX ? int32_t(offset) : kNoSentTime;
  }
  static constexpr int32_t kNoSentTime = INT32_MIN;

  uint32_t arrivalLow = 0, arrivalHigh = 0;
  int32_t sentOffset = kNoSentTime;
  uint32_t pid = 0;      // the sender's process id; 0 when unknown
  uint32_t program : 17; // index into ProgramNames; 0 when unknown
  // What the console wrote around the sender's text, so that the text can be read back alone: a
  // time stamp before its first byte, stamps before the lines it begins, the sender prefix.
  uint32_t headStamp : 1;
  uint32_t stamped : 1;
  uint32_t prefixed : 1;
  uint32_t source : 2;   // where it came from, as the owner numbers its sources
  uint32_t kind : 2;     // text or notice, as the owner numbers them
  uint32_t mark : 8;     // kShown, kHidden, or a highlight's colour pair number (1 ..)

  static constexpr uint8_t kShown = 0;
  static constexpr uint8_t kHidden = 0xFF;

  StoredMessage() : program(0), headStamp(0), stamped(0), prefixed(0), source(0), kind(0), mark(kShown) {}
};
static_assert(sizeof(StoredMessage) == 20, "a message record stays at 20 bytes");

// Program names by index; index 0 is the empty name. Names are kept for the store's life (there
// are few); past kMaxNames distinct names a new one gets index 0.
class ProgramNames {
 public:
  static constexpr uint32_t kMaxNames = (1u << 17) - 1;

  uint32_t Intern(std::string_view name);
  const std::string& Name(uint32_t index) const;
  size_t size() const { return names_.size() + 1; }

 private:
  std::vector<std::string> names_;  // index 1 .. size
  std::unordered_map<std::string, uint32_t> indexes_;
  // The name asked for last: messages come in runs from one sender.
  std::string last_;
  uint32_t lastIndex_ = 0;
};
