// ScratchDir and the whole-file helpers.
#include "support/scratch_dir.h"

ScratchDir::ScratchDir() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  char name[MAX_PATH];
  GetTempFileNameA(base, "vgl", 0, name);
  DeleteFileA(name);
  CreateDirectoryA(name, nullptr);
  path_ = name;
}

ScratchDir::~ScratchDir() {
  // A file still open by a hung monitor would stay behind, and the directory with it.
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(File("*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(File(found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
