// RotatingFile: a log file written whole message by whole message that, by the rotation rule,
// is closed, renamed to its first older name and started again when it is full or a new day
// begins. vigilo.exe's log and tellitcap's -o file both write through it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "receiving/rotation_rule.h"
#include "scoped/scoped_win.h"

// A rotation that could not be done: writing went on in the current file.
struct RotationTrouble {
  std::string from;  // the file that could not be renamed or removed
  std::string to;    // its new name; empty for a removal
  DWORD error = ERROR_SUCCESS;
};

class RotatingFile {
 public:
  // The local day now as rotation::DayNumber; tests put another clock in its place.
  using DayClock = int (*)();
  static int Today();

  void SetPolicy(const rotation::Policy& policy) { rule_ = rotation::Rule(policy); }
  void SetDayClock(DayClock clock) { today_ = clock; }

  // Opens the file with `disposition` (CREATE_NEW, CREATE_ALWAYS, OPEN_ALWAYS) and writes after
  // what it holds; others may read it meanwhile. False with error() the system's reason.
  bool Open(const char* name, DWORD disposition);
  // Takes a handle opened elsewhere (tests: one that cannot be written to); it never rotates.
  void Adopt(HANDLE file);
  void Close() { file_.reset(); }
  bool IsOpen() const { return static_cast<bool>(file_); }
  HANDLE handle() const { return file_.get(); }
  const std::string& name() const { return name_; }

  // True when a message of `length` bytes is to start a new file.
  bool Due(uint64_t length) const { return file_ && rotates_ && rule_.Before(length, today_()); }
  // Before a message of `length` bytes: rotates when the rule says so. False only when no file
  // is open afterwards (error() says why); a rename that fails leaves the current file open and
  // is told by TakeTrouble.
  bool Prepare(uint64_t length);
  // `length` bytes of one message were written (or are on their way) to the current file.
  void Counted(uint64_t length) { rule_.Wrote(length, today_()); }
  // Prepare, write every byte, Counted. A failed or short write closes the file and returns
  // false; error() says why, ERROR_DISK_FULL for a short write.
  bool WriteMessage(const void* bytes, DWORD length);
  // Writes bytes without the rule (the continuation of a message already counted).
  bool WriteBytes(const void* bytes, DWORD length);

  DWORD error() const { return error_; }
  uint64_t rotations() const { return rotations_; }
  // The last rotation that failed since the previous call; false when there was none.
  bool TakeTrouble(RotationTrouble& trouble);

 private:
  bool Reopen();

  scoped::Handle file_;
  std::string name_;
  bool rotates_ = false;  // false for an adopted handle
  rotation::Rule rule_{rotation::Policy{}};
  DayClock today_ = &RotatingFile::Today;
  DWORD error_ = ERROR_SUCCESS;
  uint64_t rotations_ = 0;
  bool troubled_ = false;
  RotationTrouble trouble_;
};
