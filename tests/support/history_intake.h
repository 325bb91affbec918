// The monitor's intake in small, for the native tests and fuzzers of the filters over the history:
// each message as the monitor stores one. Portable: no Windows header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "monitor/filters/history_filter.h"
#include "monitor/view/line_stamps.h"
#include "receiving/line_ends.h"
#include "receiving/message_text.h"

// Each message's text after the line-end rule, with the sender
// prefix and the time stamps where they are due, stored with the mark HistoryFilter::Store gives.
struct Intake {
  TextStore store;
  line_stamps::LineStamper stamper;
  std::vector<uint8_t> scratch;

  void Take(const filtering::FilterSet& filters, const std::string& sent, uint32_t pid, bool senders, bool stamps) {
    StoredMessage record;
    record.pid = pid;
    const std::string program = pid != 0 ? "p" + std::to_string(pid) + ".exe" : "";
    record.program = store.programs.Intern(program);
    record.prefixed = pid != 0 && senders;
    std::vector<uint8_t> text(2 * sent.size() + 1);
    const std::string prefix = record.prefixed ? message_text::SenderPrefix(pid, program) : "";
    text.resize(line_ends::Convert(reinterpret_cast<const uint8_t*>(sent.data()), sent.size(), text.data(), text.size()));
    std::vector<uint8_t> written(prefix.begin(), prefix.end());
    written.insert(written.end(), text.begin(), text.end());
    std::vector<uint8_t> shown;
    if (stamps && stamper.LinesBegun(written.data(), written.size()) != 0) {
      record.stamped = true;
      record.headStamp = stamper.LinesBegun(written.data(), 1) == 1;
      stamper.Stamp(written.data(), written.size(), "00:00:00.000 ", shown);
    } else {
      stamper.Follow(written.data(), written.size());
      shown = written;
    }
    HistoryFilter::Store(store, filters, record, text.data(), text.size(), scratch,
                         [&] { store.Append(shown.data(), uint32_t(shown.size())); });
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
