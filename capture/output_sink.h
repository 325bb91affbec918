// OutputSink: where tellitcap writes, standard output or a file it appends to and rotates; it
// keeps what comes and writes it in large pieces, at the latest a period after it came.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "capture/flush_rule.h"
#include "receiving/rotating_file.h"
#include "receiving/rotation_rule.h"

namespace capture {

class OutputSink {
 public:
  // Called when a rotation failed and writing goes on in the current file.
  using TroubleTeller = void (*)(const RotationTrouble& trouble);

  // Writes to standard output.
  bool OpenStandardOutput();
  // Writes nothing: the messages go elsewhere (--syslog without -o).
  void OpenNothing();
  // Opens or creates the file and appends to it, rotating it by the policy; others may read it
  // meanwhile. False with error() the system's reason.
  bool OpenFile(const char* name, const rotation::Policy& policy = {});
  // Takes a handle opened elsewhere (tests: one that cannot be written to).
  void Adopt(HANDLE handle, bool owned);
  void SetTroubleTeller(TroubleTeller teller) { teller_ = teller; }

  // The bytes waiting for the next Flush; callers append one message at a time between
  // BeginMessage and EndMessage.
  std::string& pending() { return pending_; }
  void BeginMessage() {
    if (pending_.empty()) pendingSince_ = clock_();
    messageStart_ = pending_.size();
  }
  // The message appended since BeginMessage is complete: when it starts a new file, what came
  // before it is written to the old one first. False when a write or the new file failed.
  bool EndMessage();
  // Writes what is pending once the rule says it is due (many bytes, or the oldest has waited
  // the period); false when a write failed.
  bool FlushIfDue();
  // Milliseconds until what is pending falls due, at most `longest`: how long the caller may
  // wait for messages before it must come back to flush.
  uint64_t DueIn(uint64_t longest) const;
  // The rule and the clock (milliseconds); tests put their own in place.
  FlushRule rule;
  using Clock = uint64_t (*)();
  void SetClock(Clock clock) { clock_ = clock; }
  // Writes everything pending; false when a write failed (error() says why). The pending bytes
  // are dropped either way, so a broken output cannot grow them without bound.
  bool Flush();
  DWORD error() const { return error_; }
  uint64_t rotations() const { return file_.rotations(); }

 private:
  bool WritePiece(const char* bytes, std::size_t length);

  RotatingFile file_;     // a file of ours
  HANDLE handle_ = nullptr;  // standard output or a handle lent by a test
  std::string pending_;
  std::size_t messageStart_ = 0;
  uint64_t pendingSince_ = 0;  // on clock_: when the oldest pending message was begun
  Clock clock_ = &SystemMilliseconds;
  static uint64_t SystemMilliseconds() { return GetTickCount64(); }
  TroubleTeller teller_ = nullptr;
  bool nothing_ = false;
  DWORD error_ = ERROR_SUCCESS;
};

}  // namespace capture
