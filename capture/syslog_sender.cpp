// SyslogSender: connecting with Winsock, sending whole frames, noticing a closed connection and
// trying again.
#include "capture/syslog_sender.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>

#include "receiving/file_time.h"
#include "scoped/scoped_socket.h"

namespace capture {

namespace {

// The first wait after a failed attempt and the longest: a collector that restarts is reached
// again within seconds, one that is gone for long costs an attempt every half minute.
constexpr uint32_t kFirstRetryMs = 250;
constexpr uint32_t kLongestRetryMs = 30000;

// A socket connected to the target (UDP: its default destination); empty when it failed.
scoped::Socket Connect(const SyslogTarget& target) {
  addrinfo hints = {};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = target.tcp ? SOCK_STREAM : SOCK_DGRAM;
  hints.ai_protocol = target.tcp ? IPPROTO_TCP : IPPROTO_UDP;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(target.port);
  if (getaddrinfo(target.host.c_str(), port.c_str(), &hints, &found) != 0) return scoped::Socket();
  scoped::Socket connected;
  for (const addrinfo* address = found; address && !connected; address = address->ai_next) {
    scoped::Socket candidate(socket(address->ai_family, address->ai_socktype, address->ai_protocol));
    if (candidate && connect(candidate.get(), address->ai_addr, static_cast<int>(address->ai_addrlen)) == 0) {
      connected = std::move(candidate);
    }
  }
  freeaddrinfo(found);
  return connected;
}

// True when the collector closed the connection or it broke: a TCP socket that reads as ready
// with nothing to read. Asked before each send, so that a restarted collector does not silently
// swallow the first message into a connection it already left.
bool ClosedByPeer(const scoped::Socket& socket) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(socket.get(), &readable);
  timeval now = {0, 0};
  if (select(0, &readable, nullptr, nullptr, &now) != 1) return false;
  char byte;
  return recv(socket.get(), &byte, 1, 0) <= 0;  // a collector never sends; anything else is an end
}

bool SendAll(const scoped::Socket& socket, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const int sent = send(socket.get(), bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
    if (sent <= 0) return false;
    done += static_cast<std::size_t>(sent);
  }
  return true;
}

}  // namespace

SyslogSender::SyslogSender(const SyslogTarget& target, std::size_t queueCapacity, std::string hostname)
    : target_(target), hostname_(std::move(hostname)), queue_(queueCapacity) {}

SyslogSender::~SyslogSender() {
  Finish(0);
  if (winsock_) WSACleanup();
}

bool SyslogSender::Start(std::string& error) {
  WSADATA data;
  const int started = WSAStartup(MAKEWORD(2, 2), &data);
  if (started != 0) {
    error = "Winsock could not start (error " + std::to_string(started) + ")";
    return false;
  }
  winsock_ = true;
  thread_ = std::thread(&SyslogSender::Run, this);
  started_ = true;
  return true;
}

void SyslogSender::Post(const std::string& message) {
  // TCP: octet counting, so that a text may hold any byte; UDP: one datagram per message.
  std::string frame = target_.tcp ? FrameOctetCounted(message) : message;
  {
    std::lock_guard<std::mutex> guard(lock_);
    queue_.Push(std::move(frame));
  }
  changed_.notify_one();
}

uint64_t SyslogSender::Finish(uint32_t milliseconds) {
  if (!started_) return 0;
  {
    std::unique_lock<std::mutex> guard(lock_);
    finishing_ = true;
    changed_.notify_all();
    changed_.wait_for(guard, std::chrono::milliseconds(milliseconds), [this] { return queue_.empty() && queue_.dropped() == 0; });
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
  started_ = false;
  return queue_.size() + queue_.dropped();
}

void SyslogSender::Run() {
  RetryDelay delay(kFirstRetryMs, kLongestRetryMs);
  scoped::Socket socket;
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    changed_.wait(guard, [this] { return stop_ || !queue_.empty() || queue_.dropped() != 0; });
    if (stop_) break;
    if (!socket) {
      guard.unlock();
      scoped::Socket connected = Connect(target_);
      guard.lock();
      if (!connected) {
        const auto wait = std::chrono::milliseconds(delay.Next());
        changed_.wait_for(guard, wait, [this] { return stop_; });
        continue;
      }
      delay.Reset();
      socket = std::move(connected);
    }
    // Messages that did not fit are told before the next one is sent: at once when the
    // connection is back, or after the burst that overflowed a connected queue.
    const uint64_t dropped = queue_.TakeDropped();
    if (dropped != 0) {
      std::string notice = FormatSyslog(DroppedRecord(dropped, NowAsFileTime(), hostname_));
      if (target_.tcp) notice = FrameOctetCounted(notice);
      guard.unlock();
      const bool sent = SendAll(socket, notice);
      guard.lock();
      if (!sent) {
        socket.reset();
        queue_.Restore(dropped);  // told at the next connection instead
        continue;
      }
    }
    if (queue_.empty()) {
      changed_.notify_all();  // Finish may be waiting for the notice
      continue;
    }
    const std::string frame = queue_.front();
    guard.unlock();
    const bool sent = !(target_.tcp && ClosedByPeer(socket)) && SendAll(socket, frame);
    guard.lock();
    if (sent) {
      queue_.Pop();
      if (queue_.empty()) changed_.notify_all();  // Finish may be waiting for this
    } else {
      socket.reset();  // the frame stays first in the queue for the next connection
    }
  }
}

}  // namespace capture
