// The monitor's intake in small, for the native tests and fuzzers of the filters over the history:
// each message as the monitor stores one. Portable: no Windows header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "monitor/filters/history_filter.h"
#include "receiving/line_ends.h"

// A rule of the filters on one field, as the tests make them.
inline filtering::FilterRule Rule(filtering::FilterAction action, filtering::FilterField field, const std::string& pattern) {
  filtering::FilterRule rule;
  rule.action = action;
  rule.field = field;
  rule.pattern = pattern;
  return rule;
}

// Each message's text after the line-end rule stored with the mark HistoryFilter::Store gives,
// as the monitor stores one: the sender's text alone, whatever the view draws around it (senders
// and stamps are taken to show that they change nothing stored).
struct Intake {
  TextStore store;
  std::vector<uint8_t> scratch;

  void Take(const filtering::FilterSet& filters, const std::string& sent, uint32_t pid, bool /*senders*/,
            bool /*stamps*/) {
    StoredMessage record;
    record.pid = pid;
    const std::string program = pid != 0 ? "p" + std::to_string(pid) + ".exe" : "";
    record.program = store.programs.Intern(program);
    record.namesSender = pid != 0;
    std::vector<uint8_t> text(2 * sent.size() + 1);
    text.resize(line_ends::Convert(reinterpret_cast<const uint8_t*>(sent.data()), sent.size(), text.data(), text.size()));
    HistoryFilter::Store(store, filters, record, text.data(), text.size(), scratch,
                         [&] { store.Append(text.data(), uint32_t(text.size())); });
  }
  // The marks of the stored messages; the first one left out once old lines went (it may have
  // lost its beginning, and then keeps the mark it had).
  std::vector<int> Marks() const {
    std::vector<int> marks;
    uint64_t n = store.FirstMessageNumber() + (store.frontPosition != 0 ? 1 : 0);
    for (; n < store.NextMessageNumber(); ++n) marks.push_back(store.MessageByNumber(n)->mark);
    return marks;
  }
};
