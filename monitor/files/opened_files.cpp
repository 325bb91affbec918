// The opened files: opening with the user told of a failure, closing, and the tick's step.
#include "monitor/files/opened_files.h"

#include <cstdio>

#include "monitor/common/ui_text.h"
#include "monitor/resources/ui_text_ids.h"

int OpenedFiles::Open(const Host& host, const std::string& path, bool follow) {
  auto file = std::make_unique<OpenedFile>();
  DWORD error = 0;
  if (!file->Open(host, path, follow, error)) {
    char pattern[kUiTextSize], caption[kUiTextSize];
    LoadUiText(IDS_FILE_CANNOT_OPEN, pattern);
    LoadUiText(IDS_PROGRAM_NAME, caption);
    char text[sizeof pattern + MAX_PATH + 32];
    std::snprintf(text, sizeof text, pattern, path.c_str(), static_cast<unsigned long>(error));
    MessageBoxA(host.parent, text, caption, MB_OK | MB_ICONWARNING);
    return -1;
  }
  files_.push_back(std::move(file));
  return static_cast<int>(files_.size() - 1);
}

void OpenedFiles::Close(size_t i) {
  if (i < files_.size()) files_.erase(files_.begin() + static_cast<std::ptrdiff_t>(i));
}

bool OpenedFiles::Step() {
  const DWORD start = GetTickCount();
  const auto timeUp = [start] { return GetTickCount() - start >= kStepMs; };
  bool busy = false;
  for (auto& file : files_) {
    file->Step(timeUp);
    busy = busy || file->Busy() || file->Following();
  }
  return busy;
}
