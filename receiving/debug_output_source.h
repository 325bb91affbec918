// DebugOutputSource: a debug-output listener, on the session's objects or on the global ones that
// services write through. A thread of its own answers the protocol OutputDebugStringA/W use when
// no debugger is attached, copies each message into a bounded queue at once, and the timer tick
// takes them from there.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>

#include "scoped/scoped_win.h"
#include "receiving/debug_output_queue.h"

class DebugOutputSource {
 public:
  enum class StartResult {
    kStarted,
    kInUse,    // another program listens already
    kNoRight,  // the user may not create the objects (global ones need SeCreateGlobalPrivilege)
    kFailed,   // the objects or the thread could not be created
  };
  // The names' namespace: the session's own, or the one every session shares.
  enum class Scope { kSession, kGlobal };

  explicit DebugOutputSource(Scope scope = Scope::kSession) : scope_(scope) {}
  ~DebugOutputSource() { Stop(); }
  DebugOutputSource(const DebugOutputSource&) = delete;
  DebugOutputSource& operator=(const DebugOutputSource&) = delete;

  StartResult Start();
  // The system's error code of the last Start that did not start.
  DWORD startError() const { return startError_; }
  Scope scope() const { return scope_; }
  // True when this process runs in session 0, whose own names are the global ones: there one
  // listener hears both, and a second on the global names would only find the first.
  static bool SessionIsGlobal();
  // Ends the thread (it answers within milliseconds) and closes every handle, so that a later
  // OutputDebugString call finds no listener and returns at once. Queued messages stay to be taken.
  void Stop();
  bool IsRunning() const { return static_cast<bool>(thread_); }
  // True when the thread ended by itself (a failed wait); the owner then Stops. FailureCode is
  // the system's error code of that wait.
  bool Failed() const;
  DWORD FailureCode() const;

  // The oldest captured message; false when none waits.
  bool Next(DebugMessage& out);
  // Messages the thread could not copy (out of memory); each is counted among the dropped ones.
  uint64_t unkept() const { return unkept_; }

 private:
  static DWORD WINAPI Listen(void* self);
  DWORD ListenLoop();

  const Scope scope_;
  DWORD startError_ = ERROR_SUCCESS;
  scoped::Handle bufferReady_;
  scoped::Handle dataReady_;
  scoped::Handle section_;
  scoped::Handle stop_;
  scoped::Handle thread_;
  scoped::MappedView mapping_;           // the section mapped, 4,096 bytes
  const unsigned char* view_ = nullptr;  // the bytes of mapping_, as the listener thread reads them
  std::mutex queueLock_;
  DebugOutputQueue queue_;
  std::atomic<uint64_t> unkept_{0};
};
