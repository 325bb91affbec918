// FlushRule: when tellitcap's buffered output is written. Pending bytes go out once they are many
// enough for a large write, or once the oldest of them has waited the period: a crash or a kill
// loses at most that long of output, and a flood is written in large pieces, not one write per
// message. Portable: no Windows header, so the rule is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>

namespace capture {

struct FlushRule {
  // A burst is written once this much is pending, so memory stays small while writes stay large.
  std::size_t largeBytes = 64 * 1024;
  // The longest a message waits to be written: half of the 100 ms promised, so that a loop busy
  // with a batch when it falls due still writes in time.
  uint64_t periodMs = 50;

  // Whether `pending` bytes, the oldest waiting since `since` (milliseconds on the caller's
  // clock), are to be written at `now`.
  bool Due(std::size_t pending, uint64_t since, uint64_t now) const {
    return pending >= largeBytes || (pending != 0 && now - since >= periodMs);
  }
  // How long the caller may wait before they fall due; `longest` when nothing is pending.
  uint64_t WaitAtMost(std::size_t pending, uint64_t since, uint64_t now, uint64_t longest) const {
    if (pending == 0) return longest;
    if (Due(pending, since, now)) return 0;
    const uint64_t left = periodMs - (now - since);
    return left < longest ? left : longest;
  }
};

}  // namespace capture
