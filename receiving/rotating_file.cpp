// RotatingFile: opening, the renames of a rotation on the real file system, and writing.
#include "receiving/rotating_file.h"

#include "receiving/file_time.h"

namespace {

class SystemFiles : public rotation::Files {
 public:
  bool Exists(const std::string& name) override {
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  bool Remove(const std::string& name) override { return Keep(DeleteFileA(name.c_str())); }
  bool Rename(const std::string& from, const std::string& to) override {
    return Keep(MoveFileA(from.c_str(), to.c_str()));
  }
  DWORD error = ERROR_SUCCESS;

 private:
  bool Keep(BOOL done) {
    if (!done) error = GetLastError();
    return done != FALSE;
  }
};

int DayOf(const SYSTEMTIME& local) { return rotation::DayNumber(local.wYear, local.wMonth, local.wDay); }

}  // namespace

int RotatingFile::Today() {
  SYSTEMTIME local;
  GetLocalTime(&local);
  return DayOf(local);
}

bool RotatingFile::Open(const char* name, DWORD disposition) {
  const HANDLE file = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  error_ = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
  file_.reset(file);
  if (!file_) return false;
  name_ = name;
  rotates_ = true;
  LARGE_INTEGER size = {};
  LARGE_INTEGER end = {};
  if (!GetFileSizeEx(file, &size) || !SetFilePointerEx(file, end, nullptr, FILE_END)) {
    error_ = GetLastError();
    file_.reset();
    return false;
  }
  // A file that already holds messages belongs to the day it was last written on.
  int day = today_();
  FILETIME written;
  SYSTEMTIME local;
  if (size.QuadPart != 0 && GetFileTime(file, nullptr, nullptr, &written) &&
      LocalTimeOf(static_cast<uint64_t>(written.dwHighDateTime) << 32 | written.dwLowDateTime, local)) {
    day = DayOf(local);
  }
  rule_.Opened(static_cast<uint64_t>(size.QuadPart), day);
  return true;
}

void RotatingFile::Adopt(HANDLE file) {
  file_.reset(file);
  name_.clear();
  rotates_ = false;
  error_ = ERROR_SUCCESS;
}

bool RotatingFile::Reopen() {
  const std::string name = name_;
  return Open(name.c_str(), OPEN_ALWAYS);
}

bool RotatingFile::Prepare(uint64_t length) {
  if (!file_) return false;
  if (!Due(length)) return true;
  const int day = today_();
  file_.reset();  // a file of ours that is open cannot be renamed
  SystemFiles files;
  const rotation::Outcome outcome = rotation::Rotate(files, name_, rule_.policy().keep);
  if (!Reopen()) return false;
  if (outcome.ok) {
    ++rotations_;
    return true;
  }
  troubled_ = true;
  trouble_.from = outcome.from;
  trouble_.to = outcome.to;
  trouble_.error = files.error;
  rule_.Deferred(day);
  return true;
}

bool RotatingFile::WriteBytes(const void* bytes, DWORD length) {
  if (!file_) return false;
  DWORD written = 0;
  const BOOL wrote = WriteFile(file_.get(), bytes, length, &written, nullptr);
  if (wrote && written == length) return true;
  error_ = wrote ? ERROR_DISK_FULL : GetLastError();
  file_.reset();
  return false;
}

bool RotatingFile::WriteMessage(const void* bytes, DWORD length) {
  if (!Prepare(length) || !WriteBytes(bytes, length)) return false;
  Counted(length);
  return true;
}

bool RotatingFile::TakeTrouble(RotationTrouble& trouble) {
  if (!troubled_) return false;
  troubled_ = false;
  trouble = trouble_;
  return true;
}
