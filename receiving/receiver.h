// Receiver: the two sources of messages, the mailslot and the debug-output listener, drained into
// a MessageSink. It reads the sender trailer of each datagram, tells a sender's lost datagrams,
// names the sending programs and reports what could not be read: vigilo.exe and tellitcap both
// receive through it.
#pragma once

#include <windows.h>

#include "receiving/debug_output_source.h"
#include "receiving/drain_budget.h"
#include "receiving/file_time.h"
#include "receiving/mailslot_source.h"
#include "receiving/message.h"
#include "receiving/process_names.h"
#include "receiving/sequence_tracker.h"

class MessageSink {
 public:
  virtual void Take(const Message& message) = 0;

 protected:
  ~MessageSink() = default;
};

class Receiver {
 public:
  enum class Drained {
    kEmpty,      // nothing more is queued now
    kBudget,     // the budget ran out; more may wait
    kBroken,     // the mailslot's handle no longer answers: open it again
  };

  // Creates the mailslot; false when that failed (GetLastError says why: another program may
  // hold the name).
  bool OpenMailslot() { return mailslot_.Open(); }
  void CloseMailslot() { mailslot_.Close(); }
  bool MailslotOpen() const { return mailslot_.IsOpen(); }

  // Hands the queued datagrams to the sink within the budget: a loss notice before a datagram
  // whose sequence skipped, the datagram itself, a notice for one that could not be read.
  Drained DrainMailslot(MessageSink& sink, DrainBudget& budget);
  // The same for captured debug output; the drop notice of its queue comes as a notice.
  Drained DrainDebugOutput(MessageSink& sink, DrainBudget& budget);

  MailslotSource& mailslot() { return mailslot_; }
  DebugOutputSource& debugOutput() { return debugOutput_; }

 private:
  void TakeDatagram(MessageSink& sink);

  MailslotSource mailslot_;
  DebugOutputSource debugOutput_;
  SequenceTracker sequences_;
  ProcessNames names_;
};
