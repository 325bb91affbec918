// scoped::Winsock: the scope of one WSAStartup, ended with its WSACleanup.
#pragma once

#include <winsock2.h>

namespace scoped {

class Winsock {
 public:
  Winsock() : error_(WSAStartup(MAKEWORD(2, 2), &data_)) {}
  ~Winsock() {
    if (error_ == 0) WSACleanup();  // only a start that succeeded is counted by Winsock
  }
  Winsock(const Winsock&) = delete;
  Winsock& operator=(const Winsock&) = delete;

  bool started() const { return error_ == 0; }
  // WSAStartup's answer: 0, or the reason it failed.
  int error() const { return error_; }

 private:
  WSADATA data_ = {};
  int error_;
};

}  // namespace scoped
