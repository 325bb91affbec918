// Scope classes of SSPI (Schannel) objects: a credentials handle, a security context and a
// buffer the package allocated. Their handles are structures, not pointers, so each has a class
// of its own. Apart from scoped_win.h so that only the programs that speak TLS link secur32.
#pragma once

#define SECURITY_WIN32
#include <windows.h>
#include <security.h>
#include <sspi.h>

#include <utility>

namespace scoped {

// A CredHandle that AcquireCredentialsHandle filled: freed with FreeCredentialsHandle.
class Credentials {
 public:
  Credentials() = default;
  ~Credentials() { reset(); }
  Credentials(Credentials&& other) noexcept : handle_(other.handle_), held_(std::exchange(other.held_, false)) {}
  Credentials& operator=(Credentials&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = other.handle_;
      held_ = std::exchange(other.held_, false);
    }
    return *this;
  }
  Credentials(const Credentials&) = delete;
  Credentials& operator=(const Credentials&) = delete;

  // The handle to fill; what the object held before is freed first. Call set_held() once the
  // acquisition succeeded.
  CredHandle* fill() {
    reset();
    return &handle_;
  }
  void set_held() { held_ = true; }
  CredHandle* get() { return held_ ? &handle_ : nullptr; }
  explicit operator bool() const { return held_; }
  void reset() {
    if (held_) FreeCredentialsHandle(&handle_);
    held_ = false;
  }

 private:
  CredHandle handle_ = {};
  bool held_ = false;
};

// A CtxtHandle that InitializeSecurityContext made: deleted with DeleteSecurityContext.
class SecurityContext {
 public:
  SecurityContext() = default;
  ~SecurityContext() { reset(); }
  SecurityContext(SecurityContext&& other) noexcept
      : handle_(other.handle_), held_(std::exchange(other.held_, false)) {}
  SecurityContext& operator=(SecurityContext&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = other.handle_;
      held_ = std::exchange(other.held_, false);
    }
    return *this;
  }
  SecurityContext(const SecurityContext&) = delete;
  SecurityContext& operator=(const SecurityContext&) = delete;

  // Null before the first call of a handshake (the call then makes the context), the handle after.
  CtxtHandle* get() { return held_ ? &handle_ : nullptr; }
  // Where the first call writes the new context; call set_held() when it was made.
  CtxtHandle* fill() {
    reset();
    return &handle_;
  }
  void set_held() { held_ = true; }
  explicit operator bool() const { return held_; }
  void reset() {
    if (held_) DeleteSecurityContext(&handle_);
    held_ = false;
  }

 private:
  CtxtHandle handle_ = {};
  bool held_ = false;
};

// A token the package allocated (ISC_REQ_ALLOCATE_MEMORY): freed with FreeContextBuffer.
class ContextBuffer {
 public:
  explicit ContextBuffer(void* buffer) : buffer_(buffer) {}
  ~ContextBuffer() {
    if (buffer_) FreeContextBuffer(buffer_);
  }
  ContextBuffer(const ContextBuffer&) = delete;
  ContextBuffer& operator=(const ContextBuffer&) = delete;

 private:
  void* buffer_;
};

}  // namespace scoped
