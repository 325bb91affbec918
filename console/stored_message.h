// StoredMessage: what the console keeps about each message beside its text (28 bytes): who sent
// it, when, what kind of line it is; and the table of program names the records point into. The
// stored text is the sender's alone: what the view draws around it comes from here.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct StoredMessage {
  // Times as FILETIME (UTC, 100 ns units): when the monitor took the message, and the sender's
  // call (0 when the message carries none).
  uint64_t Arrival() const { return uint64_t(arrivalHigh) << 32 | arrivalLow; }
  uint64_t Sent() const { return uint64_t(sentHigh) << 32 | sentLow; }
  void SetTimes(uint64_t arrival, uint64_t sent) {
    arrivalLow = uint32_t(arrival);
    arrivalHigh = uint32_t(arrival >> 32);
    sentLow = uint32_t(sent);
    sentHigh = uint32_t(sent >> 32);
  }

  uint32_t arrivalLow = 0, arrivalHigh = 0;
  uint32_t sentLow = 0, sentHigh = 0;
  uint32_t pid = 0;      // the sender's process id; 0 when unknown
  uint32_t thread = 0;   // the sending thread's id, from the sender record; 0 when unknown
  uint32_t program : 17; // index into ProgramNames; 0 when unknown
  // A sender's text whose sender is known: the view may name the sender before it.
  uint32_t namesSender : 1;
  // The text was cut (by its sender or on reading); its last line was ended for it.
  uint32_t cut : 1;
  uint32_t source : 2;   // where it came from, as the owner numbers its sources
  uint32_t kind : 2;     // text or notice, as the owner numbers them
  uint32_t mark : 8;     // kShown, kHidden, or a highlight's colour pair number (1 ..)

  static constexpr uint8_t kShown = 0;
  static constexpr uint8_t kHidden = 0xFF;

  StoredMessage() : program(0), namesSender(0), cut(0), source(0), kind(0), mark(kShown) {}
};
static_assert(sizeof(StoredMessage) == 28, "a message record stays at 28 bytes");

// Program names by index; index 0 is the empty name. Names are kept for the store's life (there
// are few); past kMaxNames distinct names a new one gets index 0.
class ProgramNames {
 public:
  static constexpr uint32_t kMaxNames = (1u << 17) - 1;

  uint32_t Intern(std::string_view name);
  const std::string& Name(uint32_t index) const;
  size_t size() const { return names_.size() + 1; }
  // The length of the longest name kept.
  size_t Longest() const { return longest_; }

 private:
  std::vector<std::string> names_;  // index 1 .. size
  std::unordered_map<std::string, uint32_t> indexes_;
  // The name asked for last: messages come in runs from one sender.
  std::string last_;
  uint32_t lastIndex_ = 0;
  size_t longest_ = 0;
};
