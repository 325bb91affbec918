// LogFile: creating, writing and closing the log file.
#include "monitor/log/log_file.h"

bool LogFile::Create(const char* name, DWORD disposition) {
  const HANDLE file =
      CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  error_ = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
  file_.reset(file);
  return static_cast<bool>(file_);
}

bool LogFile::Write(const void* bytes, DWORD length) {
  if (!file_) return false;
  DWORD written = 0;
  const BOOL wrote = WriteFile(file_.get(), bytes, length, &written, nullptr);
  if (wrote && written == length) return true;
  error_ = wrote ? ERROR_DISK_FULL : GetLastError();
  file_.reset();
  return false;
}
