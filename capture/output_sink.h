// OutputSink: where tellitcap writes, standard output or a file it appends to; it keeps what
// comes in a burst and writes it in large pieces.
#pragma once

#include <windows.h>

#include <string>

#include "scoped/scoped_win.h"

namespace capture {

class OutputSink {
 public:
  // Writes to standard output.
  bool OpenStandardOutput();
  // Opens or creates the file and appends to it; others may read it meanwhile. False with
  // error() the system's reason.
  bool OpenFile(const char* name);
  // Takes a handle opened elsewhere (tests: one that cannot be written to).
  void Adopt(HANDLE handle, bool owned);

  // The bytes waiting for the next Flush; callers append to it.
  std::string& pending() { return pending_; }
  // Writes what is pending once it has grown past the point where a write pays off; false when
  // a write failed.
  bool FlushIfLarge();
  // Writes everything pending; false when a write failed (error() says why). The pending bytes
  // are dropped either way, so a broken output cannot grow them without bound.
  bool Flush();
  DWORD error() const { return error_; }

 private:
  scoped::Handle owned_;
  HANDLE handle_ = nullptr;
  std::string pending_;
  DWORD error_ = ERROR_SUCCESS;
};

}  // namespace capture
