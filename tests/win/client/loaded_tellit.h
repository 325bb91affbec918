// tellit.dll loaded at run time from the test's own folder, with counters on the system calls it makes.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "test_mailslot.h"
#include "import_patch.h"

namespace tellit::testing {

using TellitF = int(__cdecl*)(const char*, ...);
using TellitWF = int(__cdecl*)(const wchar_t*, ...);
using TellitU8F = int(__cdecl*)(const char*, ...);

inline std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// What the loaded DLL asked the system for since it was loaded.
struct SystemCalls {
  std::atomic<int> createFile{0};
  std::atomic<int> createMutex{0};
  std::atomic<int> waitForSingleObject{0};
  std::atomic<int> releaseMutex{0};
  std::atomic<int> writeFile{0};
  std::atomic<int> allocations{0};
  std::atomic<bool> failWrites{false};  // WriteFile fails as on a handle that is not writable
  std::atomic<int> failEveryNthWrite{0};  // 0: none
  // WriteFile reports every byte written without writing: Wine refuses mailslot writes of more
  // than about 208 KB (ERROR_GEN_FAILURE), which Windows takes, so 1 MiB datagrams are checked
  // as the DLL hands them over.
  std::atomic<bool> writesSucceedUnsent{false};
  std::atomic<void (*)(size_t)> beforeMalloc{nullptr};  // called with each size the DLL allocates

  // The order of opens and writes as the DLL made them, when recording is on.
  enum class Call { kOpen, kWrite, kFailedWrite };
  struct Record {
    Call call;
    std::string bytes;
  };
  std::atomic<bool> recording{false};
  std::mutex recordLock;
  std::vector<Record> records;
  void Note(Call call, const void* bytes = nullptr, DWORD length = 0) {
    if (!recording) return;
    std::lock_guard<std::mutex> hold(recordLock);
    // A write as its text and NUL, the sender trailer checked and taken off.
    records.push_back({call, bytes ? WithoutTrailer(std::string(static_cast<const char*>(bytes), length)) : std::string()});
  }
};

inline SystemCalls systemCalls;

namespace detail {
inline decltype(&CreateFileA) realCreateFile;
inline decltype(&CreateMutexA) realCreateMutex;
inline decltype(&WaitForSingleObject) realWaitForSingleObject;
inline decltype(&ReleaseMutex) realReleaseMutex;
inline decltype(&WriteFile) realWriteFile;
inline void*(__cdecl* realMalloc)(size_t);

inline HANDLE WINAPI CountedCreateFile(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                       DWORD disposition, DWORD flags, HANDLE templateFile) {
  ++systemCalls.createFile;
  HANDLE handle = realCreateFile(name, access, share, security, disposition, flags, templateFile);
  if (handle != INVALID_HANDLE_VALUE) systemCalls.Note(SystemCalls::Call::kOpen);
  return handle;
}
inline HANDLE WINAPI CountedCreateMutex(LPSECURITY_ATTRIBUTES security, BOOL owned, LPCSTR name) {
  ++systemCalls.createMutex;
  return realCreateMutex(security, owned, name);
}
inline DWORD WINAPI CountedWaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  ++systemCalls.waitForSingleObject;
  return realWaitForSingleObject(handle, milliseconds);
}
inline BOOL WINAPI CountedReleaseMutex(HANDLE mutex) {
  ++systemCalls.releaseMutex;
  return realReleaseMutex(mutex);
}
inline BOOL WINAPI CountedWriteFile(HANDLE file, LPCVOID bytes, DWORD length, LPDWORD written,
                                    LPOVERLAPPED overlapped) {
  const int n = ++systemCalls.writeFile;
  const int every = systemCalls.failEveryNthWrite;
  if (systemCalls.failWrites || (every > 0 && n % every == 0)) {
    systemCalls.Note(SystemCalls::Call::kFailedWrite, bytes, length);
    if (written) *written = 0;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  systemCalls.Note(SystemCalls::Call::kWrite, bytes, length);
  if (systemCalls.writesSucceedUnsent) {
    if (written) *written = length;
    return TRUE;
  }
  return realWriteFile(file, bytes, length, written, overlapped);
}
inline void* __cdecl CountedMalloc(size_t size) {
  ++systemCalls.allocations;
  if (auto hook = systemCalls.beforeMalloc.load()) hook(size);
  return realMalloc(size);
}
}  // namespace detail

class LoadedTellit {
 public:
  LoadedTellit() { Load(); }
  ~LoadedTellit() { Unload(); }
  LoadedTellit(const LoadedTellit&) = delete;
  LoadedTellit& operator=(const LoadedTellit&) = delete;

  void Load() {
    module_ = LoadLibraryA((ProgramFolder() + "tellit.dll").c_str());
    if (!module_) return;
    tellitf = reinterpret_cast<TellitF>(reinterpret_cast<void*>(GetProcAddress(module_, "tellitf")));
    tellitwf = reinterpret_cast<TellitWF>(reinterpret_cast<void*>(GetProcAddress(module_, "tellitwf")));
    tellitu8f = reinterpret_cast<TellitU8F>(reinterpret_cast<void*>(GetProcAddress(module_, "tellitu8f")));
    systemCalls.createFile = 0;
    systemCalls.createMutex = 0;
    systemCalls.waitForSingleObject = 0;
    systemCalls.releaseMutex = 0;
    systemCalls.writeFile = 0;
    systemCalls.allocations = 0;
    systemCalls.failWrites = false;
    systemCalls.failEveryNthWrite = 0;
    systemCalls.writesSucceedUnsent = false;
    systemCalls.beforeMalloc = nullptr;
    systemCalls.recording = false;
    systemCalls.records.clear();
    using namespace detail;
    realCreateFile = reinterpret_cast<decltype(realCreateFile)>(
        PatchImport(module_, "kernel32.dll", "CreateFileA", reinterpret_cast<void*>(&CountedCreateFile)));
    realCreateMutex = reinterpret_cast<decltype(realCreateMutex)>(
        PatchImport(module_, "kernel32.dll", "CreateMutexA", reinterpret_cast<void*>(&CountedCreateMutex)));
    // WaitForSingleObject is imported by the threading support linked into the DLL.
    realWaitForSingleObject = reinterpret_cast<decltype(realWaitForSingleObject)>(PatchImport(
        module_, "kernel32.dll", "WaitForSingleObject", reinterpret_cast<void*>(&CountedWaitForSingleObject)));
    realReleaseMutex = reinterpret_cast<decltype(realReleaseMutex)>(
        PatchImport(module_, "kernel32.dll", "ReleaseMutex", reinterpret_cast<void*>(&CountedReleaseMutex)));
    realWriteFile = reinterpret_cast<decltype(realWriteFile)>(
        PatchImport(module_, "kernel32.dll", "WriteFile", reinterpret_cast<void*>(&CountedWriteFile)));
    realMalloc = reinterpret_cast<decltype(realMalloc)>(
        PatchImport(module_, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&CountedMalloc)));
  }

  void Unload() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
    tellitf = nullptr;
    tellitwf = nullptr;
    tellitu8f = nullptr;
  }

  bool loaded() const { return module_ && tellitf && tellitwf && tellitu8f; }
  // Every counter is in place: the DLL imports what it is expected to use. CreateMutexA and
  // ReleaseMutex are counted when imported; a DLL that does not import them never calls them.
  bool counted() const {
    return detail::realCreateFile && detail::realWaitForSingleObject && detail::realWriteFile && detail::realMalloc;
  }

  TellitF tellitf = nullptr;
  TellitWF tellitwf = nullptr;
  TellitU8F tellitu8f = nullptr;

 private:
  HMODULE module_ = nullptr;
};

}  // namespace tellit::testing
