// ProcessNames: the program name and start time of a process, and the cache keyed by both.
#include "receiving/process_names.h"

#include "scoped/scoped_win.h"

namespace {

std::string NameFromHandle(HANDLE process) {
  char path[MAX_PATH];
  DWORD size = MAX_PATH;
  if (!QueryFullProcessImageNameA(process, 0, path, &size)) return {};
  const std::string_view full(path, size);
  const std::size_t slash = full.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? full : full.substr(slash + 1));
}

uint64_t StartTime(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return static_cast<uint64_t>(created.dwHighDateTime) << 32 | created.dwLowDateTime;
}

}  // namespace

std::string ProgramName(DWORD processId) {
  scoped::Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  return process ? NameFromHandle(process.get()) : std::string();
}

std::string_view ProcessNames::NameOf(uint32_t processId, bool sameProcess) {
  auto found = entries_.find(processId);
  if (found != entries_.end() && sameProcess && !found->second.name.empty()) return found->second.name;
  scoped::Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) {
    // Ended already: a name learnt while it ran still serves the datagrams it left behind.
    if (found != entries_.end() && sameProcess) return found->second.name;
    return {};
  }
  const uint64_t started = StartTime(process.get());
  if (found != entries_.end() && started != 0 && found->second.started == started && !found->second.name.empty()) {
    return found->second.name;
  }
  if (found == entries_.end()) {
    if (entries_.size() >= kMaxEntries) entries_.clear();
    found = entries_.emplace(processId, Entry{}).first;
  }
  found->second.started = started;
  found->second.name = NameFromHandle(process.get());
  return found->second.name;
}
