// StoredMessage: what the console keeps about each message beside its text (24 bytes), and the
// table of program names the records point into.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct StoredMessage {
  uint64_t arrival = 0;  // FILETIME (UTC) when the monitor took the message
  uint64_t sent = 0;     // FILETIME (UTC) of the sender's call; 0 when the message carries none
  uint32_t pid = 0;      // the sender's process id; 0 when unknown
  uint32_t program : 20; // index into ProgramNames; 0 when unknown
  uint32_t source : 2;   // where it came from, as the owner numbers its sources
  uint32_t kind : 2;     // text or notice, as the owner numbers them
  uint32_t mark : 8;     // kShown, kHidden, or a highlight's colour pair number (1 ..)

  static constexpr uint8_t kShown = 0;
  static constexpr uint8_t kHidden = 0xFF;

  StoredMessage() : program(0), source(0), kind(0), mark(kShown) {}
};
static_assert(sizeof(StoredMessage) == 24, "a message record stays at 24 bytes");

// Program names by index; index 0 is the empty name. Names are kept for the store's life (there
// are few); past kMaxNames distinct names a new one gets index 0.
class ProgramNames {
 public:
  static constexpr uint32_t kMaxNames = (1u << 20) - 1;

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
