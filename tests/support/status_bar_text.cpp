// Status bar parts and texts through a buffer in the control's own process.
#include "support/status_bar_text.h"

#include <commctrl.h>

#include <cstring>

namespace {

constexpr SIZE_T kBufferSize = 4096;

// A buffer in the process that owns a window: its own memory for a window of this process, else
// memory allocated in the other process and read back.
class WindowProcessBuffer {
 public:
  explicit WindowProcessBuffer(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId()) {
      address_ = local_;
      return;
    }
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, kBufferSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~WindowProcessBuffer() {
    if (process_ && address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  WindowProcessBuffer(const WindowProcessBuffer&) = delete;
  WindowProcessBuffer& operator=(const WindowProcessBuffer&) = delete;

  void* address() const { return address_; }
  // The buffer's first bytes as the window's process left them.
  bool Read(void* out, SIZE_T size) const {
    if (!address_ || size > kBufferSize) return false;
    if (!process_) {
      std::memcpy(out, local_, size);
      return true;
    }
    SIZE_T read = 0;
    return ReadProcessMemory(process_, address_, out, size, &read) && read == size;
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  char local_[kBufferSize] = {};
};

}  // namespace

std::vector<int> StatusBarParts(HWND bar) {
  WindowProcessBuffer buffer(bar);
  if (!buffer.address()) return {};
  constexpr int kMostParts = 64;
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutA(bar, SB_GETPARTS, kMostParts, reinterpret_cast<LPARAM>(buffer.address()), SMTO_NORMAL,
                           5000, &count) ||
      count > kMostParts) {
    return {};
  }
  std::vector<int> edges(count);
  if (count > 0 && !buffer.Read(edges.data(), count * sizeof(int))) return {};
  return edges;
}

std::string StatusBarText(HWND bar, int part) {
  WindowProcessBuffer buffer(bar);
  if (!buffer.address()) return {};
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0, SMTO_NORMAL, 5000, &result)) return {};
  // Wine's control answers the length in characters, where a double-byte character takes two
  // bytes of the ANSI text: room for two bytes a character and the NUL.
  const size_t length = LOWORD(result);
  if (2 * length + 1 > kBufferSize) return {};
  if (!SendMessageTimeoutA(bar, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(buffer.address()),
                           SMTO_NORMAL, 5000, &result)) {
    return {};
  }
  char text[kBufferSize] = {};
  if (!buffer.Read(text, 2 * length + 1)) return {};
  text[2 * length] = '\0';
  return text;
}
