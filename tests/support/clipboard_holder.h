// ClipboardHolder: keeps the clipboard open on a thread of its own, as another program holding
// it would, until it is destroyed; header-only, for every Win32 test tier.
#pragma once

#include <windows.h>

class ClipboardHolder {
 public:
  ClipboardHolder() {
    opened_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (opened_ && release_) thread_ = CreateThread(nullptr, 0, Hold, this, 0, nullptr);
    if (thread_) WaitForSingleObject(opened_, 5000);
  }
  ~ClipboardHolder() {
    if (release_) SetEvent(release_);
    if (thread_) {
      WaitForSingleObject(thread_, 5000);
      CloseHandle(thread_);
    }
    if (opened_) CloseHandle(opened_);
    if (release_) CloseHandle(release_);
  }
  ClipboardHolder(const ClipboardHolder&) = delete;
  ClipboardHolder& operator=(const ClipboardHolder&) = delete;

  // Whether the thread holds the clipboard open now.
  bool holding() const { return holding_; }

 private:
  static DWORD WINAPI Hold(void* parameter) {
    auto* self = static_cast<ClipboardHolder*>(parameter);
    self->holding_ = OpenClipboard(nullptr) != FALSE;
    SetEvent(self->opened_);
    WaitForSingleObject(self->release_, INFINITE);
    if (self->holding_) CloseClipboard();
    return 0;
  }

  HANDLE opened_ = nullptr;
  HANDLE release_ = nullptr;
  HANDLE thread_ = nullptr;
  volatile bool holding_ = false;
};
