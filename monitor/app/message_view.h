// MessageView: what a received message shows (its sender, its time stamp), its line ends
// converted, stored in the live console with the record of who sent it and when, decided by the
// views' rules, and written to the log as shown.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "monitor/app/log_saving.h"
#include "monitor/app/status_line.h"
#include "monitor/filters/view_set.h"
#include "monitor/view/history_gutter.h"
#include "monitor/view/receive_stamps.h"
#include "monitor/view/vgl_console.h"
#include "receiving/receiver.h"

class MessageView final : public MessageSink {
 public:
  // `bufferCeiling`: the intake options' (IntakeOptions), which bounds the convert buffer;
  // `status` counts each message shown.
  MessageView(const unsigned& bufferCeiling, VGL_Console& console, ViewSet& views, HistoryGutter& gutter,
              ReceiveStamps& stamps, LogSaving& log, StatusLine& status)
      : bufferCeiling(bufferCeiling), console(console), views(views), gutter(gutter), stamps(stamps), log(log),
        status(status) {}
  MessageView(const MessageView&) = delete;
  MessageView& operator=(const MessageView&) = delete;

  // Start-up: convertCapacity bytes, null when that fails.
  void AllocateConvertBuffer();
  // The sink: what a message shows (its sender, its time stamp), its line ends converted, to the
  // console and the log.
  void Take(const Message& message) override;
  // Shows a text as received now from no known sender, and a line of the monitor's own.
  void ShowReceived(const unsigned char* text, size_t length);
  void ShowNotice(const std::string& text, uint64_t sentTime = 0, StoredMessage record = StoredMessage());

  bool HasConvertBuffer() const { return convertBuffer != nullptr; }
  unsigned ConvertCapacity() const { return convertCapacity; }
  // The next buffer made is of this size (tests start each from the first size).
  void SetConvertCapacity(unsigned capacity) { convertCapacity = capacity; }

 private:
  // Shows and logs one message (or notice): the time stamp where due, then the console and the
  // log. `senderText` is the part of the text that the sender wrote, which the filters judge.
  // `utf8Shown`: the shown text in UTF-8 with every character, for a log in UTF-8; without it such
  // a log takes the shown text decoded from the ANSI code page.
  void WriteShown(const unsigned char* shownText, size_t length, const uint8_t* senderText, size_t senderLength,
                  uint64_t sentTime, StoredMessage record, const std::string* utf8Shown = nullptr);

  const unsigned& bufferCeiling;
  VGL_Console& console;
  ViewSet& views;
  HistoryGutter& gutter;
  ReceiveStamps& stamps;
  LogSaving& log;
  StatusLine& status;
  std::unique_ptr<unsigned char[]> convertBuffer;
  unsigned convertCapacity = 8192;
  std::vector<uint8_t> filterScratch;  // a stored message's bytes while it is decided again
};
