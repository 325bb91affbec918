// Receiver: the two sources of messages, the mailslot and the debug-output listener, drained into
// a MessageSink. It reads the sender trailer of each datagram, tells a sender's lost datagrams,
// names the sending programs and reports what could not be read: vigilo.exe and tellitcap both
// receive through it.
#pragma once

#include <windows.h>

#include <atomic>

#include "receiving/debug_output_source.h"
#include "receiving/drain_budget.h"
#include "receiving/file_time.h"
#include "receiving/mailslot_source.h"
#include "receiving/message.h"
#include "receiving/message_queue.h"
#include "receiving/process_names.h"
#include "receiving/sequence_tracker.h"
#include "receiving/utf8_intake.h"
#include "code_page/ansi_code_page_decoder.h"

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

  Receiver() = default;
  ~Receiver() { CloseMailslot(); }
  Receiver(const Receiver&) = delete;
  Receiver& operator=(const Receiver&) = delete;

  // Creates the mailslot; false when that failed (GetLastError says why: another program may
  // hold the name).
  bool OpenMailslot() { return mailslot_.Open(); }
  // Stops the reading thread first; what it queued stays for the next drain.
  void CloseMailslot();
  bool MailslotOpen() const { return mailslot_.IsOpen(); }

  // A thread of its own reads the mailslot as fast as datagrams come, so that writers never wait
  // for the next tick, and names each sender while it still runs; DrainMailslot then hands on
  // what it queued. False when the thread could not start: draining reads the mailslot itself.
  // `wake`: posted to `window` when datagrams come after a quiet spell (null: none).
  // `longestIdleWait`: while nothing comes, the thread looks again at most this many
  // milliseconds later (a writer's first datagram waits that long at most, and a program that
  // ends sooner cannot be named).
  bool StartReading(HWND window = nullptr, UINT wake = 0, unsigned longestIdleWait = 16);
  void StopReading();
  bool Reading() const { return static_cast<bool>(thread_); }

  // Hands the queued datagrams to the sink within the budget: a loss notice before a datagram
  // whose sequence skipped, the datagram itself, a notice for one that could not be read.
  Drained DrainMailslot(MessageSink& sink, DrainBudget& budget);
  // The same for captured debug output, the session's and the global listener's taken in turn;
  // the drop notice of a queue comes as a notice.
  Drained DrainDebugOutput(MessageSink& sink, DrainBudget& budget);

  // Messages a receiving thread read and could not keep (out of memory) since the receiver was
  // made; each run of them is also told by a notice where they would have been.
  uint64_t unkept() const { return unkeptTotal_ + debugOutput_.unkept() + globalDebugOutput_.unkept(); }

  MailslotSource& mailslot() { return mailslot_; }
  DebugOutputSource& debugOutput() { return debugOutput_; }
  // The listener on the global objects, where services write; started and stopped apart.
  DebugOutputSource& globalDebugOutput() { return globalDebugOutput_; }
  std::size_t queued() const { return queue_.size() + batch_.size(); }

 private:
  Drained ReadMailslot(MessageSink& sink, DrainBudget& budget);
  void TakeDatagram(MessageSink& sink);
  // One message of a listener to the sink; false when it had none.
  bool TakeDebugMessage(DebugOutputSource& listener, MessageSource source, MessageSink& sink, DrainBudget& budget);
  void TakeNotice(MessageSink& sink, const std::string& text, uint64_t arrival);
  static DWORD WINAPI ReadThread(void* self);
  DWORD ReadLoop();

  MessageQueue queue_;
  // Taken from the queue in one go, handed on one by one: the lock once per batch.
  std::deque<QueuedMessage> batch_;
  scoped::Handle thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> broken_{false};  // the thread met a handle that no longer answers
  std::atomic<uint32_t> unkept_{0};   // read by the thread and lost since the last notice
  std::atomic<uint64_t> unkeptTotal_{0};
  HWND wakeWindow_ = nullptr;
  UINT wakeMessage_ = 0;
  unsigned longestIdleWait_ = 16;
  MailslotSource mailslot_;
  DebugOutputSource debugOutput_;
  DebugOutputSource globalDebugOutput_{DebugOutputSource::Scope::kGlobal};
  SequenceTracker sequences_;
  ProcessNames names_;
  // Every message gets its UTF-8 text here: one intake for the mailslot (on the reading thread),
  // one for debug output (on the draining thread); notices take one of their own.
  code_page::AnsiCodePageDecoder ansi_;
  Utf8Intake mailslotIntake_{ansi_};
  Utf8Intake drainIntake_{ansi_};
};
