// OutputSink: opening standard output or the file, and writing whole pieces.
#include "capture/output_sink.h"

namespace capture {

namespace {
// A burst is written once this much is pending, so memory stays small while writes stay large.
constexpr std::size_t kLargeWrite = 64 * 1024;
}  // namespace

bool OutputSink::OpenStandardOutput() {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) {
    error_ = output == nullptr ? ERROR_INVALID_HANDLE : GetLastError();
    return false;
  }
  Adopt(output, false);  // the process's own handle: not ours to close
  return true;
}

bool OutputSink::OpenFile(const char* name) {
  // FILE_APPEND_DATA alone: every write lands at the end, after whatever the file held.
  const HANDLE file = CreateFileA(name, FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error_ = GetLastError();
    return false;
  }
  Adopt(file, true);
  return true;
}

void OutputSink::Adopt(HANDLE handle, bool owned) {
  owned_.reset(owned ? handle : nullptr);
  handle_ = handle;
  error_ = ERROR_SUCCESS;
}

bool OutputSink::FlushIfLarge() { return pending_.size() < kLargeWrite || Flush(); }

bool OutputSink::Flush() {
  std::size_t done = 0;
  bool ok = true;
  while (done < pending_.size()) {
    const std::size_t left = pending_.size() - done;
    const DWORD piece = left > kLargeWrite ? static_cast<DWORD>(kLargeWrite) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!handle_ || !WriteFile(handle_, pending_.data() + done, piece, &written, nullptr)) {
      error_ = handle_ ? GetLastError() : ERROR_INVALID_HANDLE;
      ok = false;
      break;
    }
    if (written == 0) {  // nothing taken and no error: the device is full
      error_ = ERROR_DISK_FULL;
      ok = false;
      break;
    }
    done += written;
  }
  pending_.clear();
  return ok;
}

}  // namespace capture
