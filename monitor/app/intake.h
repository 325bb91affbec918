// Intake: both sources of messages, the mailslot and the debug-output listeners, drained at each
// tick into a sink within the tick's budget; the mailslot created again when it could not be
// created or its handle broke.
#pragma once

#include <windows.h>

#include <functional>

#include "monitor/app/intake_options.h"
#include "monitor/app/trouble_sink.h"
#include "receiving/receiver.h"

class Intake {
 public:
  // `window`: the main window's handle, which the reading thread wakes and whose View menu
  // shows the captures' check marks (null before it stands); `sink`: where every message goes;
  // `notice`: a text id for the status bar's notice part.
  Intake(const IntakeOptions& options, const HWND& window, MessageSink& sink, TroubleSink& troubles,
         std::function<void(int)> notice)
      : options_(options), window_(window), sink_(sink), troubles_(troubles), notice_(std::move(notice)) {}
  Intake(const Intake&) = delete;
  Intake& operator=(const Intake&) = delete;

  // StartReceiver tells the user (once until it succeeds) when the mailslot cannot be created;
  // DrainMailslot then tries again once a second.
  bool StartReceiver();
  void DrainMailslot();
  void StopReceiver();
  void ReopenReceiver();
  // Debug output: on or off as the View menu's check mark and the setting say; a listener that
  // failed is stopped by the tick that drains it.
  void SetDebugCapture(bool on);
  // Saved at every toggle as what it turned to: a capture that could not start stays off.
  void ToggleDebugCapture();
  void DrainDebugOutput();
  // View > Capture Global Debug Output ("capture global debug output" in [system]): the listener
  // on the global objects too. Where it cannot start, or stops, the status bar says why once and
  // the check goes off.
  void SetGlobalDebugCapture(bool on);
  void ToggleGlobalDebugCapture();
  // The window closes: both listeners stop, then the channel.
  void Stop();
  // A receiving thread lost messages for want of memory since last asked: the status bar says so.
  void TellUnkept();

  bool channelDown() const { return channelDown_; }
  // Messages queued and not yet drained.
  size_t queued() const { return receiver_.queued(); }
  // The sources themselves: their state, and the mailslot's ceiling for tests.
  Receiver& receiver() { return receiver_; }
  const IntakeOptions& options() const { return options_; }
  // Other options from now on; reading on a thread or not takes effect when the channel starts.
  void Tune(const IntakeOptions& options) { options_ = options; }
  // The next drain of a channel that is down tries to create it at once.
  void RetryChannelNow() { lastChannelAttempt_ = GetTickCount() - kRetryPeriodMs; }

 private:
  // While the channel is down, a tick tries to create it again this often.
  static constexpr DWORD kRetryPeriodMs = 1000;
  void StopFailedGlobalDebugCapture();

  IntakeOptions options_;
  const HWND& window_;
  MessageSink& sink_;
  TroubleSink& troubles_;
  std::function<void(int)> notice_;
  Receiver receiver_;
  bool channelDown_ = false;      // the mailslot could not be created; ticks try again
  DWORD lastChannelAttempt_ = 0;  // GetTickCount of the last attempt to create it
  bool captureGlobalDebugOutput_ = false;
  uint64_t unkeptSeen_ = 0;       // the receiver's count of messages lost for want of memory, as last told
};
