// OpenedFiles: the files opened in the monitor, in the order they were opened. Each owns its
// console window and its reader; closing one frees both.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "monitor/files/opened_file.h"

class OpenedFiles {
 public:
  using Host = OpenedFile::Host;
  // What one tick spends at most storing the files' lines, so that the window keeps answering.
  static constexpr DWORD kStepMs = 25;

  // Opens the file and returns its index; -1 when it cannot be opened, after a message box in the
  // language in force has told the user why (owner: host.parent).
  int Open(const Host& host, const std::string& path, bool follow);
  size_t Count() const { return files_.size(); }
  OpenedFile& File(size_t i) { return *files_[i]; }
  VGL_Console& Console(size_t i) { return files_[i]->console; }
  const std::string& Name(size_t i) const { return files_[i]->Name(); }
  void Close(size_t i);
  // The tick's step: every file takes what its reader indexed, within kStepMs together; true
  // while any is still reading or following.
  bool Step();

 private:
  std::vector<std::unique_ptr<OpenedFile>> files_;
};
