// The rotation rule: when a file is full, the names of its older files and the renames.
#include "receiving/rotation_rule.h"

namespace rotation {

bool Rule::Before(uint64_t length, int day) const {
  if (size_ == 0) return false;  // an empty file takes any message, even one past the limit
  if (policy_.daily && day != day_) return true;
  if (policy_.maxBytes == 0) return false;
  const uint64_t counted = size_ - base_;
  return counted > 0 && (length > policy_.maxBytes || counted > policy_.maxBytes - length);
}

std::string OlderName(const std::string& name, uint32_t index) {
  const std::size_t part = name.find_last_of("\\/:");
  const std::size_t partStart = part == std::string::npos ? 0 : part + 1;
  std::size_t dot = name.rfind('.');
  // No extension when the only dot starts the part (".log") or is in a folder's name.
  if (dot == std::string::npos || dot <= partStart) dot = name.size();
  return name.substr(0, dot) + "." + std::to_string(index) + name.substr(dot);
}

Outcome Rotate(Files& files, const std::string& name, uint32_t keep) {
  Outcome outcome;
  const auto fail = [&outcome](const std::string& from, const std::string& to) {
    outcome.ok = false;
    outcome.from = from;
    outcome.to = to;
    return outcome;
  };
  if (keep == 0) {
    // Nothing older is kept: the full file goes and the new one starts empty.
    if (files.Exists(name) && !files.Remove(name)) return fail(name, "");
    return outcome;
  }
  const std::string last = OlderName(name, keep);
  if (files.Exists(last) && !files.Remove(last)) return fail(last, "");
  for (uint32_t index = keep - 1; index >= 1; --index) {
    const std::string older = OlderName(name, index);
    if (files.Exists(older) && !files.Rename(older, OlderName(name, index + 1))) {
      return fail(older, OlderName(name, index + 1));
    }
  }
  if (files.Exists(name) && !files.Rename(name, OlderName(name, 1))) return fail(name, OlderName(name, 1));
  return outcome;
}

}  // namespace rotation
