// SyslogSender: connecting with Winsock, sending whole frames, noticing a collector that is gone,
// and waiting longer after each failure instead of trying again at once.
#include "capture/syslog_sender.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <system_error>

#include "capture/tls_session.h"
#include "receiving/file_time.h"
#include "scoped/scoped_socket.h"
#include "scoped/scoped_winsock.h"

namespace capture {

namespace {

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

// True when the socket reads as ready now.
bool Readable(const scoped::Socket& socket) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(socket.get(), &readable);
  timeval now = {0, 0};
  return select(0, &readable, nullptr, nullptr, &now) == 1;
}

// True when the collector closed the connection or it broke: a TCP socket that reads as ready
// with nothing to read. Asked before each send, so that a restarted collector does not silently
// swallow the first message into a connection it already left.
bool ClosedByPeer(const scoped::Socket& socket) {
  if (!Readable(socket)) return false;
  char byte;
  return recv(socket.get(), &byte, 1, 0) <= 0;  // a collector never sends; anything else is an end
}

// True when an earlier datagram came back as unreachable (ICMP port unreachable: nothing listens
// on the collector's port). A connected UDP socket keeps that as a pending error, which
// SO_ERROR or the next receive reports.
bool CollectorRefused(const scoped::Socket& socket) {
  int pending = 0;
  int length = sizeof pending;
  if (getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pending), &length) == 0 &&
      pending != 0) {
    return true;
  }
  if (!Readable(socket)) return false;
  char byte;
  if (recv(socket.get(), &byte, 1, 0) != SOCKET_ERROR) return false;  // a datagram from it: ignored
  const int error = WSAGetLastError();
  return error != WSAEMSGSIZE && error != WSAEWOULDBLOCK;  // a longer datagram is no error either
}

// One connection to the collector: the socket, and over TLS the session inside it.
struct Link {
  scoped::Socket socket;
  std::unique_ptr<TlsSession> tls;

  Link() = default;
  ~Link() { reset(); }
  Link(Link&&) = default;
  Link& operator=(Link&&) = default;  // only ever onto an empty link

  explicit operator bool() const { return static_cast<bool>(socket); }
  void reset() {
    if (tls && socket) tls->Close(socket.get());
    tls.reset();
    socket.reset();
  }
};

bool SendAll(const scoped::Socket& socket, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const int sent = send(socket.get(), bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
    if (sent <= 0) return false;
    done += static_cast<std::size_t>(sent);
  }
  return true;
}

enum class Sent { kYes, kFailed, kTooLarge };

// One frame. UDP: the collector's refusal of an earlier datagram, or of this one right away
// (immediate on the same machine), counts as the collector being down, and the frame is kept.
Sent SendFrame(Link& link, bool tcp, const std::string& frame) {
  const scoped::Socket& socket = link.socket;
  if (link.tls) {
    return !link.tls->ClosedByPeer(socket.get()) && link.tls->Send(socket.get(), frame) ? Sent::kYes : Sent::kFailed;
  }
  if (tcp) return !ClosedByPeer(socket) && SendAll(socket, frame) ? Sent::kYes : Sent::kFailed;
  if (CollectorRefused(socket)) return Sent::kFailed;
  if (send(socket.get(), frame.data(), static_cast<int>(frame.size()), 0) != static_cast<int>(frame.size())) {
    return WSAGetLastError() == WSAEMSGSIZE ? Sent::kTooLarge : Sent::kFailed;
  }
  return CollectorRefused(socket) ? Sent::kFailed : Sent::kYes;
}

// One line on standard error for a run of drops.
void TellDropped(uint64_t dropped, const char* why) {
  if (dropped == 0) return;
  const std::string count = dropped == 1 ? "1 message" : std::to_string(dropped) + " messages";
  std::fprintf(stderr, "tellitcap: %s for the syslog collector %s dropped (%s)\n", count.c_str(),
               dropped == 1 ? "was" : "were", why);
  std::fflush(stderr);
}

// A refused collector (its certificate, a failed handshake) is told once per reason, not at every
// attempt of the back-off.
void TellRefused(const std::string& why, std::string& told) {
  if (why == told) return;
  told = why;
  std::fprintf(stderr, "tellitcap: the syslog collector was refused, nothing is sent to it: %s\n", why.c_str());
  std::fflush(stderr);
}

}  // namespace

SyslogSender::SyslogSender(const SyslogTarget& target, std::size_t queueFrames, std::string hostname,
                           TlsOptions tls)
    : target_(target),
      hostname_(std::move(hostname)),
      tlsOptions_(std::move(tls)),
      queue_(queueFrames, kSyslogQueueBytes) {}

SyslogSender::~SyslogSender() { Finish(0); }

bool SyslogSender::Start(std::string& error) {
  auto winsock = std::make_unique<scoped::Winsock>();
  if (!winsock->started()) {
    error = "Winsock could not start (error " + std::to_string(winsock->error()) + ")";
    return false;
  }
  if (target_.tls) {
    auto credentials = std::make_unique<TlsCredentials>();
    if (!trust_.Load(tlsOptions_, error) || !credentials->Acquire(trust_, error)) return false;
    credentials_ = std::move(credentials);
  }
  winsock_ = std::move(winsock);
  try {
    thread_ = std::thread(&SyslogSender::Run, this);
  } catch (const std::system_error& failure) {
    error = std::string("the syslog sender could not start: ") + failure.what();
    return false;
  }
  started_ = true;
  return true;
}

void SyslogSender::Post(std::string message) {
  message = CutToWholeCharacters(std::move(message), target_.tcp ? kLongestTcpMessage : kLongestUdpMessage);
  // TCP: octet counting, so that a text may hold any byte; UDP: one datagram per message.
  std::string frame = target_.tcp ? FrameOctetCounted(message) : std::move(message);
  uint64_t endedRun;
  {
    std::lock_guard<std::mutex> guard(lock_);
    queue_.Push(std::move(frame));
    endedRun = queue_.TakeEndedRun();
  }
  changed_.notify_one();
  TellDropped(endedRun, "queue full");
}

uint64_t SyslogSender::Finish(uint32_t milliseconds) {
  if (!started_) return 0;
  uint64_t unsent;
  uint64_t run;
  {
    std::unique_lock<std::mutex> guard(lock_);
    finishing_ = true;
    changed_.notify_all();
    changed_.wait_for(guard, std::chrono::milliseconds(milliseconds),
                      [this] { return ended_ || (queue_.empty() && queue_.dropped() == 0); });
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
  started_ = false;
  {
    std::lock_guard<std::mutex> guard(lock_);
    unsent = queue_.size() + queue_.droppedInAll();
    run = queue_.TakeRun();
  }
  TellDropped(run, "queue full");
  return unsent;
}

void SyslogSender::Run() {
  // An exception must not reach std::thread, which would end the program: the capture goes on
  // without its collector, and Finish counts what stayed queued.
  try {
    SendUntilStopped();
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "tellitcap: the syslog sender stopped: %s; the capture goes on\n", failure.what());
  } catch (...) {
    std::fputs("tellitcap: the syslog sender stopped; the capture goes on\n", stderr);
  }
  std::fflush(stderr);
  std::lock_guard<std::mutex> guard(lock_);
  ended_ = true;
  changed_.notify_all();
}

void SyslogSender::SendUntilStopped() {
  RetryDelay delay(kSyslogFirstRetryMs, kSyslogLongestRetryMs);
  Link link;
  std::string refusal;  // the last reason told
  std::unique_lock<std::mutex> guard(lock_);
  // After a failure: a new connection, but only after a wait (a UDP connect always succeeds, so
  // trying again at once would spin), cut short by the end.
  const auto backOff = [&] {
    link.reset();
    changed_.wait_for(guard, std::chrono::milliseconds(delay.Next()), [this] { return stop_; });
  };
  for (;;) {
    changed_.wait(guard, [this] { return stop_ || !queue_.empty() || queue_.dropped() != 0; });
    if (stop_) break;
    if (!link) {
      guard.unlock();
      Link connected;
      connected.socket = Connect(target_);
      std::string why;
      if (connected && target_.tls) {
        // Nothing goes out before the collector's certificate passed.
        connected.tls = std::make_unique<TlsSession>();
        if (!connected.tls->Open(*credentials_, trust_, connected.socket.get(), target_.host, why)) connected.reset();
      }
      guard.lock();
      if (!connected) {
        if (!why.empty()) TellRefused(why, refusal);
        backOff();
        continue;
      }
      refusal.clear();
      link = std::move(connected);
    }
    // Messages that did not fit are told before the next one is sent: at once when the
    // connection is back, or after the burst that overflowed a connected queue.
    const uint64_t dropped = queue_.TakeDropped();
    if (dropped != 0) {
      std::string notice = FormatSyslog(DroppedRecord(dropped, NowAsFileTime(), hostname_));
      if (target_.tcp) notice = FrameOctetCounted(notice);
      guard.unlock();
      const Sent sent = SendFrame(link, target_.tcp, notice);
      guard.lock();
      if (sent != Sent::kYes) {
        queue_.Restore(dropped);  // told at the next connection instead
        backOff();
        continue;
      }
    }
    if (queue_.empty()) {
      changed_.notify_all();  // Finish may be waiting for the notice
      continue;
    }
    // Only this thread pops, and a push leaves the front where it is: no copy is needed.
    const std::string& frame = queue_.front();
    guard.unlock();
    const Sent sent = SendFrame(link, target_.tcp, frame);
    guard.lock();
    switch (sent) {
      case Sent::kYes:
        queue_.Pop();
        delay.Reset();  // the collector took a frame: a later failure starts from the first wait
        break;
      case Sent::kTooLarge:
        // Not the collector's fault and never better on a retry: the frame goes, counted in the
        // next notice, and the connection stays.
        queue_.DropFront();
        TellDropped(1, "too large for a datagram");
        break;
      case Sent::kFailed:
        backOff();  // the frame stays first in the queue for the next connection
        break;
    }
    if (queue_.empty()) changed_.notify_all();  // Finish may be waiting for this
  }
}

}  // namespace capture
