// TlsCredentials and TlsSession: a TLS client over a connected socket through Schannel (SSPI),
// for syslog over TLS. The session shakes hands, has the collector's certificate checked before a
// byte of a message goes out, encrypts what is sent, and notices the collector closing.
#pragma once

#include <winsock2.h>

#include <string>

#include "capture/tls_trust.h"
#include "scoped/scoped_sspi.h"

namespace capture {

// The client's Schannel credentials: TLS 1.2 or newer, the client certificate when one is
// given, and the collector's certificate left for TlsTrust to check. Made once, used by every
// connection.
class TlsCredentials {
 public:
  bool Acquire(const TlsTrust& trust, std::string& error);
  CredHandle* get() { return credentials_.get(); }

 private:
  scoped::Credentials credentials_;
};

class TlsSession {
 public:
  // The handshake over `socket` (connected), then the check of the collector's certificate for
  // `host`. False with the reason (a refused certificate says why): nothing may be sent then.
  bool Open(TlsCredentials& credentials, const TlsTrust& trust, SOCKET socket, const std::string& host,
            std::string& why);
  // All of `bytes`, encrypted in records; false when the connection failed.
  bool Send(SOCKET socket, const std::string& bytes);
  // True when the collector closed the connection (close_notify, end of stream) or it broke;
  // reads and drops what the collector sent meanwhile (a collector never sends messages).
  bool ClosedByPeer(SOCKET socket);
  // Tells the collector the session ends (close_notify), so that it sees a clean end rather than a
  // broken stream. The socket stays the caller's to close.
  void Close(SOCKET socket);
  // The protocol agreed on, "TLS 1.2" or "TLS 1.3".
  const std::string& protocol() const { return protocol_; }

 private:
  bool Handshake(TlsCredentials& credentials, SOCKET socket, const std::string& host, std::string& why);

  CredHandle* credentials_ = nullptr;  // of the TlsCredentials that outlive the session
  scoped::SecurityContext context_;
  SecPkgContext_StreamSizes sizes_ = {};
  std::string received_;  // bytes of records read but not yet decrypted
  std::string protocol_;
};

}  // namespace capture
