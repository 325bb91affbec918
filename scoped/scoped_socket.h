// scoped::Socket: the scope class of a Winsock socket, closed with closesocket. Apart from
// scoped_win.h so that only the programs that use sockets include Winsock.
#pragma once

#include <winsock2.h>

namespace scoped {

class Socket {
 public:
  Socket() = default;
  explicit Socket(SOCKET socket) { reset(socket); }
  ~Socket() { reset(); }
  Socket(Socket&& other) noexcept : socket_(other.release()) {}
  Socket& operator=(Socket&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  SOCKET get() const { return socket_; }
  explicit operator bool() const { return socket_ != INVALID_SOCKET; }
  SOCKET release() {
    const SOCKET socket = socket_;
    socket_ = INVALID_SOCKET;
    return socket;
  }
  void reset(SOCKET socket = INVALID_SOCKET) {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    socket_ = socket;
  }

 private:
  SOCKET socket_ = INVALID_SOCKET;
};

}  // namespace scoped
