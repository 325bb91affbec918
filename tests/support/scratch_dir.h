// A scratch directory for settings and log files, and whole-file reads and writes.
#pragma once

#include <windows.h>

#include <string>

// A fresh directory under the temporary folder, removed with its files at scope end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// The file's bytes, empty when it cannot be opened. Reads beside a writer that shares reading, as
// the monitor does with its log file.
std::string ReadWholeFile(const std::string& path);
// Creates or replaces the file with these bytes.
void WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
