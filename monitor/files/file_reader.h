// FileReader: an opened file read and indexed on a thread of its own, the batches queued for the
// window's thread. The queue holds at most kQueueLimit bytes of text, the thread waits while it
// is full, so that reading never runs ahead of the console by more than that. While following,
// the end of the file is watched: new bytes are read as they come, a file that got shorter is
// read again from its start, and a file renamed away with a new one begun under its name (the
// log's and tellitcap's rotation) is read to its end and the new one from its start.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "monitor/files/file_indexer.h"
#include "scoped/scoped_win.h"

class FileReader {
 public:
  static constexpr size_t kReadBytes = 1 << 20;
  static constexpr size_t kQueueLimit = 16u << 20;
  // While following, the file is looked at this often.
  static constexpr DWORD kFollowPeriodMs = 200;

  struct Progress {
    uint64_t read = 0;  // bytes of the current file read
    uint64_t size = 0;  // its size when last looked at
    bool done = false;  // the end was reached and nothing is followed, or reading failed
    DWORD error = 0;    // why reading failed
    uint32_t truncations = 0;  // times the file got shorter than what was read
    uint32_t rotations = 0;    // times a new file took the name
    IndexCounts counts;
  };

  FileReader() = default;
  ~FileReader() { Stop(); }
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // Opens the file and judges its kind from its first bytes; false with the system's error.
  bool Open(const std::string& path, DWORD& error);
  const FileKind& kind() const { return kind_; }
  // Reading begins; `follow` may change at any time.
  void Start(bool follow);
  void SetFollow(bool follow);
  bool following() const { return follow_; }
  void Stop();

  // The oldest queued batch; false when none is queued.
  bool Take(IndexedBatch& batch);
  bool Queued() const;
  Progress progress() const;

 private:
  void Run();
  bool ReadToEnd(FileIndexer& indexer, std::vector<uint8_t>& buffer);  // false when stopping or failed
  void Queue(FileIndexer& indexer, bool wait);
  void Fail(DWORD error);
  bool WaitForGrowth();  // false when stopping
  scoped::Handle NewFileAtPath();  // a different file that now carries the name; empty: none

  std::string path_;
  scoped::Handle file_;
  FileKind kind_;
  std::thread thread_;
  std::atomic<bool> follow_{false};

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<IndexedBatch> queue_;
  size_t queuedBytes_ = 0;
  bool stop_ = false;
  Progress progress_;
};
