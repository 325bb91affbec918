// SyslogSender: a thread of its own that keeps a connection to the syslog collector and sends
// it the frames the capture posts; while the collector cannot be reached the frames wait in a
// bounded queue and the connection is tried again after a growing wait. A failure of the thread
// itself (out of memory) ends the sending, never the capture.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "capture/send_queue.h"
#include "capture/syslog_format.h"
#include "capture/tls_trust.h"

namespace scoped {
class Winsock;
}

namespace capture {

class TlsCredentials;

class SyslogSender {
 public:
  // The queue keeps at most `queueFrames` frames and kSyslogQueueBytes bytes.
  // A tls:// target takes `tls`: whom to trust, which client certificate to show.
  SyslogSender(const SyslogTarget& target, std::size_t queueFrames, std::string hostname, TlsOptions tls = {});
  ~SyslogSender();
  SyslogSender(const SyslogSender&) = delete;
  SyslogSender& operator=(const SyslogSender&) = delete;

  // Starts Winsock and the thread; false with a reason when Winsock cannot start or, for TLS, the
  // CA or client certificate file cannot be read or the credentials cannot be made.
  bool Start(std::string& error);
  // Queues one RFC 5424 message, cut to what the transport carries; never blocks on the network.
  void Post(std::string message);
  // Sends what is queued for at most `milliseconds` (while the collector answers), then ends the
  // thread; answers how many messages were never sent, the dropped ones included.
  uint64_t Finish(uint32_t milliseconds);

  const std::string& hostname() const { return hostname_; }

 private:
  void Run();
  void SendUntilStopped();

  SyslogTarget target_;
  std::string hostname_;
  TlsOptions tlsOptions_;
  TlsTrust trust_;
  std::unique_ptr<TlsCredentials> credentials_;
  std::mutex lock_;
  std::condition_variable changed_;
  SendQueue queue_;
  bool finishing_ = false;
  bool stop_ = false;
  bool ended_ = false;  // the thread is done, stopped or failed
  bool started_ = false;
  std::unique_ptr<scoped::Winsock> winsock_;  // declared before thread_: it outlives the thread
  std::thread thread_;
};

}  // namespace capture
