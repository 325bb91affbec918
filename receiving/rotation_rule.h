// The rotation rule of the log files of vigilo.exe and tellitcap.exe: when a file is full, what
// its older files are called, and the renames that make room. Portable: no Windows header.
#pragma once

#include <cstdint>
#include <string>

namespace rotation {

struct Policy {
  uint64_t maxBytes = 0;  // a file never grows past this by a message; 0: no limit
  uint32_t keep = 5;      // older files kept beside the current one (name.1 .. name.keep)
  bool daily = false;     // also a new file on each local day
};

// The most older files either program keeps: names stay short and a rotation stays quick.
inline constexpr uint32_t kMaxKeep = 999;

// The day of a local date as one number (year * 10000 + month * 100 + day): equal for the
// same day, different for any other.
inline int DayNumber(int year, int month, int day) { return year * 10000 + month * 100 + day; }

// Decides, one message at a time, when the current file is closed and a new one started. A
// message is never split: it goes into the current file unless that would take a non-empty file
// past the limit, so a message larger than the limit goes alone into a file.
class Rule {
 public:
  explicit Rule(const Policy& policy) : policy_(policy) {}

  // The current file holds `size` bytes and was last written on `day`.
  void Opened(uint64_t size, int day) {
    size_ = size;
    day_ = day;
    base_ = 0;
  }
  // True when the file must be rotated before a message of `length` bytes written on `day`.
  bool Before(uint64_t length, int day) const;
  // `length` bytes went into the current file on `day`.
  void Wrote(uint64_t length, int day) {
    size_ += length;
    day_ = day;
  }
  // The rotation failed and writing goes on in the current file: the next try comes once another
  // limit's worth has been written or the next day has begun, not at every message.
  void Deferred(int day) {
    base_ = size_;
    day_ = day;
  }

  const Policy& policy() const { return policy_; }
  uint64_t size() const { return size_; }

 private:
  Policy policy_;
  uint64_t size_ = 0;
  uint64_t base_ = 0;  // the size at a failed rotation; the limit counts from here
  int day_ = 0;
};

// The name of older file `index` (1 the newest): ".N" before the extension of the last path part
// ("run.log" -> "run.1.log", "run" -> "run.1", "logs.d\run" -> "logs.d\run.1", ".log" -> ".log.1").
std::string OlderName(const std::string& name, uint32_t index);

// What a rotation does to the files, so that the rule can be tested without them.
class Files {
 public:
  virtual ~Files() = default;
  virtual bool Exists(const std::string& name) = 0;
  virtual bool Remove(const std::string& name) = 0;
  // Renames a file to a name that does not exist.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
};

struct Outcome {
  bool ok = true;
  // When !ok: the step that failed, e.g. a rename of "run.log" to "run.1.log"; `to` is empty
  // for a removal.
  std::string from;
  std::string to;
};

// Makes room for a new `name` (which must be closed): removes older file `keep`, renames each
// older file to the next index, then `name` to index 1. Stops at the first step that fails;
// the steps before it stay done and no file is lost, `name` keeps its content.
Outcome Rotate(Files& files, const std::string& name, uint32_t keep);

}  // namespace rotation
