// Reading an opened file on a thread of its own: the queue of indexed batches, following the
// file's growth, its truncation and its rotation.
#include "monitor/files/file_reader.h"

#include <chrono>
#include <vector>

#include "monitor/common/code_page_text.h"

namespace {

// Every sharing mode: the writer (a running tellitcap, the monitor's own log) keeps writing,
// renaming and deleting the file while it is read.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE OpenForReading(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool SameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first, second;
  if (!GetFileInformationByHandle(a, &first) || !GetFileInformationByHandle(b, &second)) return true;
  return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

// Deleted while open: the name stays taken until the last handle closes.
bool DeletePending(HANDLE file) {
  FILE_STANDARD_INFO info = {};
  return GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof info) && info.DeletePending;
}

uint64_t SizeOf(HANDLE file) {
  LARGE_INTEGER size;
  return GetFileSizeEx(file, &size) ? uint64_t(size.QuadPart) : 0;
}

}  // namespace

bool FileReader::Open(const std::string& path, DWORD& error) {
  path_ = path;
  file_.reset(OpenForReading(path));
  if (!file_) {
    error = GetLastError();
    return false;
  }
  std::vector<uint8_t> sample(kKindSampleBytes);
  DWORD got = 0;
  if (!ReadFile(file_.get(), sample.data(), DWORD(sample.size()), &got, nullptr)) {
    error = GetLastError();
    file_.reset();
    return false;
  }
  kind_ = DetectFileKind(sample.data(), got, got < sample.size());
  SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN);
  progress_.size = SizeOf(file_.get());
  return true;
}

void FileReader::Start(bool follow) {
  follow_ = follow;
  if (file_ && !thread_.joinable()) thread_ = std::thread([this] { Run(); });
}

void FileReader::SetFollow(bool follow) {
  std::lock_guard<std::mutex> lock(mutex_);
  // A reader that stopped at the end wakes to follow.
  follow_ = follow;
  changed_.notify_all();
}

void FileReader::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

bool FileReader::Take(IndexedBatch& batch) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (queue_.empty()) return false;
  batch = std::move(queue_.front());
  queue_.pop_front();
  queuedBytes_ -= batch.text.size();
  changed_.notify_all();
  return true;
}

bool FileReader::Queued() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !queue_.empty();
}

FileReader::Progress FileReader::progress() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return progress_;
}

void FileReader::Queue(FileIndexer& indexer, bool wait) {
  IndexedBatch batch = indexer.Take();
  std::unique_lock<std::mutex> lock(mutex_);
  progress_.counts = indexer.counts();
  if (batch.empty()) return;
  if (wait) changed_.wait(lock, [&] { return stop_ || queuedBytes_ < kQueueLimit; });
  queuedBytes_ += batch.text.size();
  queue_.push_back(std::move(batch));
}

void FileReader::Fail(DWORD error) {
  std::lock_guard<std::mutex> lock(mutex_);
  progress_.error = error;
  progress_.done = true;
}

bool FileReader::ReadToEnd(FileIndexer& indexer, std::vector<uint8_t>& buffer) {
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return false;
    }
    DWORD got = 0;
    if (!ReadFile(file_.get(), buffer.data(), DWORD(buffer.size()), &got, nullptr)) {
      Fail(GetLastError());
      return false;
    }
    if (got == 0) return true;
    indexer.Feed(buffer.data(), got);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      progress_.read += got;
      if (progress_.read > progress_.size) progress_.size = progress_.read;
    }
    Queue(indexer, true);
  }
}

bool FileReader::WaitForGrowth() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(kFollowPeriodMs), [&] { return stop_; });
  return !stop_;
}

scoped::Handle FileReader::NewFileAtPath() {
  scoped::Handle named(OpenForReading(path_));
  if (!named || SameFile(named.get(), file_.get())) return scoped::Handle();
  return named;
}

void FileReader::Run() {
  FileIndexer indexer(kind_, AnsiToUtf8Text);
  std::vector<uint8_t> buffer(kReadBytes);
  for (;;) {
    if (!ReadToEnd(indexer, buffer)) return;
    const uint64_t size = SizeOf(file_.get());
    bool shorter = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      shorter = size < progress_.read;
      progress_.size = size;
      if (shorter) ++progress_.truncations;
    }
    if (!follow_) {
      // What was read stays, a file cut short among it; a last line without its end shows too.
      indexer.Finish();
      Queue(indexer, false);
      std::unique_lock<std::mutex> lock(mutex_);
      progress_.done = true;
      // Turning Follow on goes on from here.
      changed_.wait(lock, [&] { return stop_ || follow_; });
      if (stop_) return;
      progress_.done = false;
      continue;
    }
    if (shorter) {
      // Truncated and written again: read from its start.
      SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN);
      indexer.Restart();
      std::lock_guard<std::mutex> lock(mutex_);
      progress_.read = 0;
      continue;
    }
    if (DeletePending(file_.get())) {
      // Deleted: what was read stays, the name is let go, and a file begun under it later is read
      // from its start, as after a rotation.
      if (!ReadToEnd(indexer, buffer)) return;
      indexer.Finish();
      Queue(indexer, false);
      file_.reset();
      while (!file_) {
        if (!WaitForGrowth()) return;
        file_.reset(OpenForReading(path_));
      }
      indexer.Restart();
      std::lock_guard<std::mutex> lock(mutex_);
      ++progress_.rotations;
      progress_.read = 0;
      progress_.size = SizeOf(file_.get());
      continue;
    }
    if (scoped::Handle renamed = NewFileAtPath()) {
      // Rotated: the old file's last bytes, then the new file from its start.
      if (!ReadToEnd(indexer, buffer)) return;
      indexer.Finish();
      Queue(indexer, false);
      file_ = std::move(renamed);
      indexer.Restart();
      std::lock_guard<std::mutex> lock(mutex_);
      ++progress_.rotations;
      progress_.read = 0;
      progress_.size = SizeOf(file_.get());
      continue;
    }
    if (!WaitForGrowth()) return;
  }
}
