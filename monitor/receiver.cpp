// The message receiver: the mailslot and the debug-output listener drained on every timer tick
// into one sink, the console and the log; the mailslot created again when it could not be
// created or its handle broke.
#include <windows.h>

#include "monitor/byte_buffer.h"
#include "monitor/line_ends.h"
#include "monitor/monitor_app.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings_file.h"

namespace {

// While the channel is down, a tick tries to create it again this often.
constexpr DWORD kRetryPeriodMs = 1000;

// What is left of one tick's share for one source.
class TickBudget {
 public:
  TickBudget(int messages, uint32_t bytes, DWORD milliseconds)
      : messages_(messages), bytes_(bytes), milliseconds_(milliseconds), start_(GetTickCount()) {}
  bool Left() const { return messages_ > 0 && bytes_ > 0 && GetTickCount() - start_ < milliseconds_; }
  void Spend(uint32_t bytes) {
    --messages_;
    bytes_ = bytes >= bytes_ ? 0 : bytes_ - bytes;
  }

 private:
  int messages_;
  uint32_t bytes_;
  DWORD milliseconds_;
  DWORD start_;
};

}  // namespace

bool MonitorApp::StartReceiver() {
  if (mailslot.IsOpen()) return true;
  lastChannelAttempt = GetTickCount();
  if (!mailslot.Open()) {
    const DWORD error = GetLastError();
    if (!channelDown) {
      channelDown = true;
      NotifyTrouble(kChannelInUse, error);
    }
    return false;
  }
  channelDown = false;
  return true;
}

void MonitorApp::StopReceiver() { mailslot.Close(); }

void MonitorApp::ReopenReceiver() {
  StopReceiver();
  StartReceiver();
}

void MonitorApp::DrainMailslot() {
  if (!mailslot.IsOpen()) {
    if (GetTickCount() - lastChannelAttempt < kRetryPeriodMs || !StartReceiver()) return;
  }
  for (TickBudget budget(datagramsPerTick, bytesPerTick, tickMilliseconds); budget.Left();) {
    switch (mailslot.Next()) {
      case MailslotSource::Result::kMessage:
        budget.Spend(mailslot.bytesRead());
        // An empty datagram shows nothing, and the tick goes on.
        if (mailslot.length() != 0) ShowReceived(mailslot.text(), mailslot.length());
        break;
      case MailslotSource::Result::kSkipped:
        budget.Spend(0);
        ShowReceiverNotice("<< a message of %lu bytes could not be read >>\n", mailslot.skippedSize());
        break;
      case MailslotSource::Result::kEmpty:
      case MailslotSource::Result::kWait:
        return;
      case MailslotSource::Result::kBroken:
        ReopenReceiver();  // the handle broke: the channel is created again, never given up
        return;
    }
  }
}

void MonitorApp::SetDebugCapture(bool on) {
  bool capturing = false;
  if (on) {
    switch (debugOutput.Start()) {
      case DebugOutputSource::StartResult::kStarted:
        capturing = true;
        break;
      case DebugOutputSource::StartResult::kInUse:
        NotifyTrouble(kDebugOutputInUse, ERROR_ALREADY_EXISTS);
        break;
      case DebugOutputSource::StartResult::kFailed:
        NotifyTrouble(kDebugOutputFailed, GetLastError());
        break;
    }
  } else {
    debugOutput.Stop();
  }
  if (mainWindow) {
    CheckMenuItem(GetMenu(mainWindow), ID_VIEW_DEBUG_OUTPUT, MF_BYCOMMAND | (capturing ? MF_CHECKED : MF_UNCHECKED));
  }
}

void MonitorApp::DrainDebugOutput() {
  if (debugOutput.Failed()) {
    // The listener ended by itself: close its objects, so that no sender waits for it.
    const DWORD error = debugOutput.FailureCode();
    debugOutput.Stop();
    if (mainWindow) CheckMenuItem(GetMenu(mainWindow), ID_VIEW_DEBUG_OUTPUT, MF_BYCOMMAND | MF_UNCHECKED);
    NotifyTrouble(kDebugOutputFailed, error);
  }
  DebugMessage message;
  for (TickBudget budget(datagramsPerTick, bytesPerTick, tickMilliseconds); budget.Left() && debugOutput.Next(message);) {
    const std::string shown = message.Shown();
    budget.Spend(static_cast<uint32_t>(shown.size()));
    ShowReceived(reinterpret_cast<const unsigned char*>(shown.data()), shown.size());
  }
}

void MonitorApp::ShowReceived(const unsigned char* text, size_t length) {
  messages.Add(GetTickCount());
  const uint32_t convertGrown = line_ends::GrownConvertCapacity(
      convertCapacity, static_cast<uint32_t>(length), bufferCeiling);
  if (convertGrown != 0 || !convertBuffer) {
    // Also retried when an earlier allocation failed, so one failure does not end intake.
    if (convertGrown != 0) convertCapacity = convertGrown;
    convertBuffer = TryAllocateBytes(convertCapacity);
  }
  if (!convertBuffer) return;  // this message is lost

  const size_t converted = line_ends::Convert(text, length, convertBuffer.get(), convertCapacity);
  size_t shownLength = converted;
  const unsigned char* shown = stamps.Apply(convertBuffer.get(), converted, shownLength);
  console.Write(reinterpret_cast<const char*>(shown), static_cast<int>(shownLength), 0);
  if (logFile.IsOpen()) WriteLog(shown, static_cast<DWORD>(shownLength));
}

void MonitorApp::ShowReceiverNotice(const char* pattern, unsigned long value) {
  char line[96];
  const int length = wsprintfA(line, pattern, value);
  if (length > 0) ShowReceived(reinterpret_cast<const unsigned char*>(line), static_cast<size_t>(length));
}
