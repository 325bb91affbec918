// SequenceTracker: the next datagram number expected of each sending process, to tell how many
// of its datagrams were lost on the way. Portable: no Windows header.
#pragma once

#include <cstdint>
#include <unordered_map>

class SequenceTracker {
 public:
  enum class Seen : uint8_t {
    kFirst,      // the first datagram seen from this process id: its count starts here
    kInOrder,    // the one expected
    kAfterLoss,  // later than expected: Observe returned how many are missing
    kRestarted,  // earlier than expected: a new process with the id, or the library loaded again
  };
  struct Observation {
    Seen seen;
    uint32_t lost;
  };

  // Processes remembered at most; past that the table starts afresh (a count that restarts
  // reports nothing, so no loss is invented).
  static constexpr std::size_t kMaxProcesses = 4096;

  Observation Observe(uint32_t processId, uint32_t sequence);
  void Clear() { expected_.clear(); }

 private:
  std::unordered_map<uint32_t, uint32_t> expected_;
};
