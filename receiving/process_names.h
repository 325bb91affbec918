// ProcessNames: the program file name of a sending process, looked up once per process. Process
// ids are reused, so an entry also holds the process's start time and is looked up again when a
// caller cannot vouch that the process is the same one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

// The file name (no folder) of a running process's program; empty when it cannot be read (the
// process ended already, or belongs to another user).
std::string ProgramName(DWORD processId);

class ProcessNames {
 public:
  static constexpr std::size_t kMaxEntries = 4096;

  // The name of the process with this id. `sameProcess`: the caller knows it is the process of
  // the last lookup (its datagrams continue in order), so the cached name serves without asking
  // the system. Otherwise the process's start time decides whether the cached name still holds.
  std::string_view NameOf(uint32_t processId, bool sameProcess);

 private:
  struct Entry {
    uint64_t started = 0;  // FILETIME of the process's creation; 0 when it could not be read
    std::string name;
  };
  std::unordered_map<uint32_t, Entry> entries_;
};
