// SyslogSender: a thread of its own that keeps a connection to the syslog collector and sends
// it the frames the capture posts; while the collector cannot be reached the frames wait in a
// bounded queue and the connection is tried again after a growing wait.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "capture/send_queue.h"
#include "capture/syslog_format.h"

namespace capture {

class SyslogSender {
 public:
  SyslogSender(const SyslogTarget& target, std::size_t queueCapacity, std::string hostname);
  ~SyslogSender();
  SyslogSender(const SyslogSender&) = delete;
  SyslogSender& operator=(const SyslogSender&) = delete;

  // Starts Winsock and the thread; false with a reason when Winsock cannot start.
  bool Start(std::string& error);
  // Queues one RFC 5424 message; never blocks on the network.
  void Post(const std::string& message);
  // Sends what is queued for at most `milliseconds` (while the collector answers), then ends the
  // thread; answers how many messages were never sent, the dropped ones included.
  uint64_t Finish(uint32_t milliseconds);

  const std::string& hostname() const { return hostname_; }

 private:
  void Run();

  SyslogTarget target_;
  std::string hostname_;
  std::mutex lock_;
  std::condition_variable changed_;
  SendQueue queue_;
  bool finishing_ = false;
  bool stop_ = false;
  bool started_ = false;
  bool winsock_ = false;
  std::thread thread_;
};

}  // namespace capture
