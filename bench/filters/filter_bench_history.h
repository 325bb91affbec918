// What the filter benchmarks share: a clock and a median, a rule of three fields, and the store
// they decide, 64 MiB filled with a message's texts of 60 bytes by one sender. Portable.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "console/text_store.h"
#include "filtering/filter_rule.h"

namespace filter_bench {

inline double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

inline filtering::FilterRule Rule(filtering::FilterAction action, filtering::FilterField field, const char* pattern,
                                  bool matchCase = false) {
  filtering::FilterRule rule;
  rule.action = action;
  rule.field = field;
  rule.pattern = pattern;
  rule.matchCase = matchCase;
  return rule;
}

// A thousand texts of 60 bytes ("message 000123 from a client, ..."), each with its line end.
inline std::vector<std::string> SixtyByteTexts() {
  std::vector<std::string> texts;
  for (int n = 0; n < 1000; ++n) {
    char text[64];
    std::snprintf(text, sizeof text, "message %06d from a client, sixty bytes in all..........\r\n", n);
    texts.emplace_back(text);
  }
  return texts;
}

// A store of 64 MiB; false (and said) when it could not be had whole.
inline bool AllocateFullStore(TextStore& store) {
  if (store.Allocate(64u << 20, 0, 256) && store.capacity == (64u << 20)) return true;
  std::printf("a store of 64 MiB could not be had\n");
  return false;
}

// The sender of every message: pid 4242, client.exe.
inline StoredMessage ClientRecord(TextStore& store) {
  StoredMessage record;
  record.pid = 4242;
  record.program = store.programs.Intern("client.exe");
  return record;
}

}  // namespace filter_bench
