// OutputSink: opening standard output or the file, rotating it between messages, and writing
// whole pieces.
#include "capture/output_sink.h"

namespace capture {

namespace {
// The most one WriteFile is given.
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

void OutputSink::OpenNothing() {
  Adopt(nullptr, false);
  nothing_ = true;
}

bool OutputSink::OpenFile(const char* name, const rotation::Policy& policy) {
  handle_ = nullptr;
  file_.SetPolicy(policy);
  if (!file_.Open(name, OPEN_ALWAYS)) {
    error_ = file_.error();
    return false;
  }
  error_ = ERROR_SUCCESS;
  return true;
}

void OutputSink::Adopt(HANDLE handle, bool owned) {
  nothing_ = false;
  if (owned) {
    file_.Adopt(handle);
    handle_ = nullptr;
  } else {
    file_.Close();
    handle_ = handle;
  }
  error_ = ERROR_SUCCESS;
}

bool OutputSink::EndMessage() {
  const std::size_t length = pending_.size() - messageStart_;
  if (!file_.Due(length)) {
    file_.Counted(length);
    return true;
  }
  // The messages before this one belong to the file that is full.
  const bool wrote = WritePiece(pending_.data(), messageStart_);
  pending_.erase(0, messageStart_);
  messageStart_ = 0;
  if (!wrote) return false;
  if (!file_.Prepare(length)) {
    error_ = file_.error();
    return false;
  }
  RotationTrouble trouble;
  if (file_.TakeTrouble(trouble) && teller_) teller_(trouble);
  file_.Counted(length);
  return true;
}

bool OutputSink::FlushIfDue() { return !rule.Due(pending_.size(), pendingSince_, clock_()) || Flush(); }

uint64_t OutputSink::DueIn(uint64_t longest) const {
  return rule.WaitAtMost(pending_.size(), pendingSince_, clock_(), longest);
}

bool OutputSink::WritePiece(const char* bytes, std::size_t length) {
  if (nothing_) return true;
  const HANDLE handle = handle_ ? handle_ : file_.handle();
  std::size_t done = 0;
  while (done < length) {
    const std::size_t left = length - done;
    const DWORD piece = left > kLargeWrite ? static_cast<DWORD>(kLargeWrite) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!handle || !WriteFile(handle, bytes + done, piece, &written, nullptr)) {
      error_ = handle ? GetLastError() : ERROR_INVALID_HANDLE;
      return false;
    }
    if (written == 0) {  // nothing taken and no error: the device is full
      error_ = ERROR_DISK_FULL;
      return false;
    }
    done += written;
  }
  return true;
}

bool OutputSink::Flush() {
  const bool ok = WritePiece(pending_.data(), pending_.size());
  pending_.clear();
  messageStart_ = 0;
  return ok;
}

}  // namespace capture
