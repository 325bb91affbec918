// SequenceTracker: the next datagram number expected of each sending process, to tell how many
// of its datagrams were lost on the way, and which datagram a sender cut after its overflow
// notice. Portable: no Windows header.
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
    // The datagram the sender's overflow notice announced: its text was cut by the sender.
    bool cut;
  };

  // Processes remembered at most; past that the table starts afresh (a count that restarts
  // reports nothing, so no loss is invented).
  static constexpr std::size_t kMaxProcesses = 4096;

  // `overflowNotice`: the datagram is the sender's notice that its next message was cut.
  Observation Observe(uint32_t processId, uint32_t sequence, bool overflowNotice = false);
  // A datagram without a sender record (a foreign writer, an older client): whether it is the
  // one an overflow notice without a record announced.
  bool ObserveUnnamed(bool overflowNotice);
  // A datagram arrived that could not be read, so its sender is not known: the next gap of any
  // sender counts it as arrived rather than lost, so that it is told once, as unreadable.
  void ArrivedUnread() { ++unread_; }
  // The channel was made afresh: datagrams read unread before stand for no later gap.
  void ForgetUnread() { unread_ = 0; }
  void Clear() {
    expected_.clear();
    unread_ = 0;
    unnamedCutNext_ = false;
  }

 private:
  struct Expected {
    uint32_t sequence;
    bool cut;  // the expected one was announced as cut
  };
  std::unordered_map<uint32_t, Expected> expected_;
  uint32_t unread_ = 0;
  bool unnamedCutNext_ = false;
};
