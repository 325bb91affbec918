// LogFile: the open file of log saving; owns its handle and tells why a write failed.
#pragma once

#include <windows.h>

#include "scoped/scoped_win.h"

class LogFile {
 public:
  // Creates the file (CREATE_NEW or CREATE_ALWAYS); false with error() the system's reason.
  bool Create(const char* name, DWORD disposition);
  // Takes a handle opened elsewhere (tests: one that cannot be written to).
  void Adopt(HANDLE file) { file_.reset(file); }
  void Close() { file_.reset(); }
  bool IsOpen() const { return static_cast<bool>(file_); }
  HANDLE handle() const { return file_.get(); }

  // Writes every byte. A failed or short write closes the file (what was written stays) and
  // returns false; error() then says why, ERROR_DISK_FULL for a short write.
  bool Write(const void* bytes, DWORD length);
  DWORD error() const { return error_; }

 private:
  scoped::Handle file_;
  DWORD error_ = ERROR_SUCCESS;
};
