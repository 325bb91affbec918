// DebugOutputSource: the listener objects, the listener thread and the sender's name.
#include "receiving/debug_output_source.h"

#include <cstring>
#include <string>
#include <utility>

#include "receiving/file_time.h"
#include "receiving/process_names.h"

namespace {

constexpr DWORD kSectionSize = 4096;
constexpr DWORD kTextOffset = sizeof(DWORD);  // the sender's process id comes first

// Creates a named object of the listener protocol; false when it failed or already existed, with
// the system's error code in `error`.
bool CreateFresh(scoped::Handle& handle, HANDLE created, DWORD& error) {
  error = GetLastError();
  handle.reset(created);
  if (!handle && error == ERROR_SUCCESS) error = ERROR_INVALID_HANDLE;
  return handle && error != ERROR_ALREADY_EXISTS;
}

// The protocol's object names in a namespace: "DBWIN_BUFFER" or "Global\DBWIN_BUFFER".
std::string ObjectName(DebugOutputSource::Scope scope, const char* name) {
  return std::string(scope == DebugOutputSource::Scope::kGlobal ? "Global\\" : "") + name;
}

}  // namespace

DebugOutputSource::StartResult DebugOutputSource::Start() {
  if (IsRunning()) return StartResult::kStarted;
  DWORD error = ERROR_SUCCESS;
  // Each object must be new: one that exists already belongs to another listener.
  const bool created =
      CreateFresh(bufferReady_, CreateEventA(nullptr, FALSE, FALSE, ObjectName(scope_, "DBWIN_BUFFER_READY").c_str()),
                  error) &&
      CreateFresh(dataReady_, CreateEventA(nullptr, FALSE, FALSE, ObjectName(scope_, "DBWIN_DATA_READY").c_str()),
                  error) &&
      CreateFresh(section_,
                  CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSectionSize,
                                     ObjectName(scope_, "DBWIN_BUFFER").c_str()),
                  error);
  if (created) {
    mapping_.reset(MapViewOfFile(section_.get(), FILE_MAP_READ, 0, 0, kSectionSize));
    view_ = static_cast<const unsigned char*>(mapping_.get());
    if (!view_) error = GetLastError();
    stop_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (view_ && !stop_) error = GetLastError();
    if (view_ && stop_) thread_.reset(CreateThread(nullptr, 0, Listen, this, 0, nullptr));
    if (view_ && stop_ && !thread_) error = GetLastError();
  }
  if (!thread_) {
    Stop();
    startError_ = error;
    if (error == ERROR_ALREADY_EXISTS) return StartResult::kInUse;
    // An object of the name that this user may not open, or a namespace it may not create in.
    return error == ERROR_ACCESS_DENIED || error == ERROR_PRIVILEGE_NOT_HELD ? StartResult::kNoRight
                                                                            : StartResult::kFailed;
  }
  startError_ = ERROR_SUCCESS;
  return StartResult::kStarted;
}

void DebugOutputSource::Stop() {
  if (thread_) {
    SetEvent(stop_.get());
    WaitForSingleObject(thread_.get(), INFINITE);  // it waits on the stop event too: at once
    thread_.reset();
  }
  view_ = nullptr;
  mapping_.reset();
  section_.reset();
  dataReady_.reset();
  bufferReady_.reset();
  stop_.reset();
}

bool DebugOutputSource::SessionIsGlobal() {
  DWORD session = 0;
  return ProcessIdToSessionId(GetCurrentProcessId(), &session) && session == 0;
}

bool DebugOutputSource::Failed() const {
  return thread_ && WaitForSingleObject(thread_.get(), 0) == WAIT_OBJECT_0;
}

DWORD DebugOutputSource::FailureCode() const {
  DWORD code = ERROR_SUCCESS;
  if (thread_) GetExitCodeThread(thread_.get(), &code);
  return code;
}

bool DebugOutputSource::Next(DebugMessage& out) {
  std::lock_guard<std::mutex> lock(queueLock_);
  return queue_.Pop(out);
}

DWORD WINAPI DebugOutputSource::Listen(void* self) { return static_cast<DebugOutputSource*>(self)->ListenLoop(); }

DWORD DebugOutputSource::ListenLoop() {
  const HANDLE waits[2] = {stop_.get(), dataReady_.get()};
  // Ready for a message: a sender waits for this before it writes the section. It is set again
  // only once the section has been copied, so no sender overwrites a message not yet read.
  SetEvent(bufferReady_.get());
  for (;;) {
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (woke == WAIT_OBJECT_0) return ERROR_SUCCESS;
    if (woke != WAIT_OBJECT_0 + 1) return GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_INVALID_HANDLE;
    bool released = false;
    try {
      DebugMessage message;
      message.arrivalTime = NowAsFileTime();
      std::memcpy(&message.processId, view_, sizeof(DWORD));
      const char* text = reinterpret_cast<const char*>(view_ + kTextOffset);
      const void* nul = std::memchr(text, 0, kSectionSize - kTextOffset);
      message.text.assign(text, nul ? static_cast<const char*>(nul) - text : kSectionSize - kTextOffset);
      // The text is copied: the sender may go on while the name is looked up.
      SetEvent(bufferReady_.get());
      released = true;
      message.sender = ProgramName(message.processId);
      std::lock_guard<std::mutex> lock(queueLock_);
      queue_.Push(std::move(message));
    } catch (...) {
      // Out of memory for this one: it counts as dropped, told by the queue's notice, and the
      // sender is let go so that it never waits for a listener that cannot take its message.
      if (!released) SetEvent(bufferReady_.get());
      ++unkept_;
      std::lock_guard<std::mutex> lock(queueLock_);
      queue_.CountDropped();
    }
  }
}
