// CaptureSession: the mailslot and, when asked, the debug-output listener, drained as fast as
// messages come into an OutputSink, until a limit is reached or a stop is signalled.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>
#include <utility>

#include "code_page/code_page_decoder.h"
#include "capture/output_sink.h"
#include "receiving/line_stamps.h"
#include "capture/record_format.h"
#include "capture/syslog_sender.h"
#include "code_page/ansi_code_page.h"
#include "filtering/filter_set.h"
#include "receiving/receiver.h"

namespace capture {

class CaptureSession final : MessageSink {
 public:
  enum class Outcome {
    kStopped,            // a limit or a stop signal: everything received was written
    kMailslotInUse,      // another program owns the mailslot
    kMailslotFailed,     // the mailslot could not be created (again), error() says why
    kDebugOutputInUse,   // another program listens to debug output
    kDebugOutputFailed,  // the listener could not start or ended by itself, error() says why
    kOutputFailed,       // a write failed, the sink's error() says why
  };
  struct Limits {
    uint64_t count = 0;         // messages; 0: none
    uint64_t milliseconds = 0;  // from the start of Run; 0: none
  };

  // `senders`: the text form puts "[pid program] " before each message of tellit.dll.
  CaptureSession(OutputSink& sink, const code_page::CodePageDecoder& decoder, bool json, bool senders = false)
      : sink_(sink), decoder_(decoder), json_(json), senders_(senders) {}

  // The mailslot is read on a thread of its own, which names each sender while it still runs;
  // tests that replace the mailslot's handle read it on the capture's thread.
  bool readOnThread = false;

  // Creates the mailslot and starts the listener if asked; on any outcome but kStopped nothing
  // is left open. `globalDebugOutput`: the listener on the global objects too (services' debug
  // output); where it cannot start, one line on stderr says why and the capture goes on without.
  Outcome Open(bool debugOutput, bool globalDebugOutput = false);
  // Captures until a limit is reached, stop is signalled or something fails; then writes what
  // is pending and closes the channel. Messages still queued when a limit is reached stay unread.
  Outcome Run(const Limits& limits, HANDLE stop);

  // Also sends every message, as RFC 5424, through this sender.
  void SetSyslog(SyslogSender* sender) { syslog_ = sender; }
  // Text form: a stamp before every line, in this style (its origin: now).
  void SetStamps(line_stamps::StampStyle style);
  // Writes (and sends, and counts) only the messages these filters show; notices always.
  void SetFilters(filtering::FilterSet filters) { filters_ = std::move(filters); }
  // Ends the run after the first message written that these filters show (an include rule).
  void SetUntil(filtering::FilterSet until) { until_ = std::move(until); }
  // Whether the run ended on the --until message, or because its time ran out.
  bool untilSeen() const { return untilSeen_; }
  bool timeRanOut() const { return timeRanOut_; }

  uint64_t received() const { return received_; }
  DWORD error() const { return error_; }
  // Tests: put another handle in the mailslot's place.
  MailslotSource& mailslot() { return receiver_.mailslot(); }
  // One message as the receiver hands it on: written in the run's form (tests give it a stream
  // of their own this way).
  void Take(const Message& message) override;

 private:
  bool LimitReached() const { return untilSeen_ || (countLimit_ != 0 && received_ >= countLimit_); }
  // Drains up to `batch` entries of each source; what it took (messages and notices).
  uint32_t DrainMailslot(uint32_t batch, Outcome& failure);
  uint32_t DrainDebugOutput(uint32_t batch);
  DrainLimits BatchLimits(uint32_t batch) const;
  // The message in its text or JSON form, in UTF-8, at the end of the sink's pending bytes.
  void Append(const Message& message);
  void Close();
  // Tells on stderr of messages a receiving thread could not keep since the last time.
  void TellUnkept();
  void StartGlobalDebugOutput();
  // The global listener ended by itself: stopped, told on stderr, the capture goes on.
  void StopFailedGlobalListener();

  OutputSink& sink_;
  bool stamps_ = false;
  line_stamps::StampStyle stampStyle_;
  line_stamps::LineStamper stamper_;
  uint64_t lastStamp_ = 0;        // the time of the last stamp: the delta form's origin
  std::vector<uint8_t> stamped_;  // a message's stamped text
  const code_page::CodePageDecoder& decoder_;  // the sender's program name, in the ANSI code page
  bool json_;
  bool senders_;
  Receiver receiver_;
  uint64_t countLimit_ = 0;
  uint64_t received_ = 0;
  DWORD error_ = ERROR_SUCCESS;
  bool outputFailed_ = false;
  SyslogSender* syslog_ = nullptr;  // a write at a rotation failed
  filtering::FilterSet filters_;
  filtering::FilterSet until_;
  bool untilSeen_ = false;
  bool timeRanOut_ = false;
  LeadTrailSets codePage_ = LeadTrailSetsForAnsiCodePage();
  std::string text_;  // the message being taken, after the line-end rule: what the filters judge
  std::string utf8_;  // the same in UTF-8, every character: what the text form writes
  uint64_t unkeptTold_ = 0;
};

}  // namespace capture
