// The Schannel client: credentials, the handshake loop of InitializeSecurityContext, encrypting
// records with EncryptMessage, reading what the collector sends with DecryptMessage.
#include "capture/tls_session.h"

#include <schannel.h>

#include <algorithm>
#include <cstdio>

namespace capture {

namespace {

constexpr DWORD kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                  ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
// A collector that takes the connection but never answers the handshake must not hold the
// sender forever: the handshake gives up after this long and is tried again with the back-off.
constexpr DWORD kHandshakeTimeoutMs = 10000;
constexpr std::size_t kReadChunk = 16 * 1024 + 512;  // one TLS record and its overhead

std::string StatusText(SECURITY_STATUS status) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
  char text[256] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      static_cast<DWORD>(status), 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? std::string("error ") + code : message + " (" + code + ")";
}

bool SendAll(SOCKET socket, const char* bytes, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const int sent = send(socket, bytes + done, static_cast<int>(size - done), 0);
    if (sent <= 0) return false;
    done += static_cast<std::size_t>(sent);
  }
  return true;
}

// Appends what one recv gives; false at the end of the stream or on an error.
bool ReadMore(SOCKET socket, std::string& into) {
  char chunk[kReadChunk];
  const int got = recv(socket, chunk, sizeof chunk, 0);
  if (got <= 0) return false;
  into.append(chunk, static_cast<std::size_t>(got));
  return true;
}

bool Readable(SOCKET socket) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(socket, &readable);
  timeval now = {0, 0};
  return select(0, &readable, nullptr, nullptr, &now) == 1;
}

void SetReceiveTimeout(SOCKET socket, DWORD milliseconds) {
  setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&milliseconds), sizeof milliseconds);
}

// The output token of one handshake step, sent and then freed.
bool SendToken(SOCKET socket, const SecBuffer& token) {
  const scoped::ContextBuffer owned(token.pvBuffer);
  if (token.cbBuffer == 0 || token.pvBuffer == nullptr) return true;
  return SendAll(socket, static_cast<const char*>(token.pvBuffer), token.cbBuffer);
}

}  // namespace

bool TlsCredentials::Acquire(const TlsTrust& trust, std::string& error) {
  SCHANNEL_CRED settings = {};
  settings.dwVersion = SCHANNEL_CRED_VERSION;
  // The collector's certificate is checked by TlsTrust, and no certificate of the user's store is
  // offered unasked.
  settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
  PCCERT_CONTEXT client = trust.clientCertificate();
  if (client) {
    settings.cCreds = 1;
    settings.paCred = &client;
  }
  // TLS 1.3 where the system has it, else 1.2 alone: some Schannel versions refuse a protocol
  // they do not know in this structure.
  SECURITY_STATUS status = SEC_E_INTERNAL_ERROR;
  for (const DWORD protocols : {DWORD{SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT}, DWORD{SP_PROT_TLS1_2_CLIENT}}) {
    settings.grbitEnabledProtocols = protocols;
    TimeStamp expiry;
    status = AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND, nullptr,
                                       &settings, nullptr, nullptr, credentials_.fill(), &expiry);
    if (status == SEC_E_OK) {
      credentials_.set_held();
      return true;
    }
  }
  error = "TLS credentials could not be made: " + StatusText(status);
  return false;
}

bool TlsSession::Handshake(TlsCredentials& credentials, SOCKET socket, const std::string& host, std::string& why) {
  std::string name = host;  // the server name the hello carries (SNI)
  SecBuffer outToken = {0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc output = {SECBUFFER_VERSION, 1, &outToken};
  DWORD attributes = 0;
  SECURITY_STATUS status = InitializeSecurityContextA(credentials.get(), nullptr, &name[0], kContextRequest, 0, 0,
                                                      nullptr, 0, context_.fill(), &output, &attributes, nullptr);
  if (status != SEC_I_CONTINUE_NEEDED) {
    scoped::ContextBuffer owned(outToken.pvBuffer);
    why = "the TLS handshake could not start: " + StatusText(status);
    return false;
  }
  context_.set_held();
  if (!SendToken(socket, outToken)) {
    why = "the connection broke during the TLS handshake";
    return false;
  }
  received_.clear();
  bool read = true;
  for (;;) {
    if (read && !ReadMore(socket, received_)) {
      why = "the collector ended the connection during the TLS handshake (does it speak TLS on this port?)";
      return false;
    }
    SecBuffer inBuffers[2] = {{static_cast<unsigned long>(received_.size()), SECBUFFER_TOKEN, &received_[0]},
                              {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc input = {SECBUFFER_VERSION, 2, inBuffers};
    outToken = {0, SECBUFFER_TOKEN, nullptr};
    status = InitializeSecurityContextA(credentials.get(), context_.get(), &name[0], kContextRequest, 0, 0, &input, 0,
                                        nullptr, &output, &attributes, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
      read = true;  // a record is still partly on its way
      continue;
    }
    // A failed step may still carry an alert for the collector.
    const bool tokenSent = SendToken(socket, outToken);
    if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED && status != SEC_I_INCOMPLETE_CREDENTIALS) {
      why = "the TLS handshake failed: " + StatusText(status);
      return false;
    }
    if (!tokenSent) {
      why = "the connection broke during the TLS handshake";
      return false;
    }
    if (inBuffers[1].BufferType == SECBUFFER_EXTRA) {
      received_.erase(0, received_.size() - inBuffers[1].cbBuffer);  // the start of the next record
    } else {
      received_.clear();
    }
    if (status == SEC_E_OK) return true;
    // SEC_I_INCOMPLETE_CREDENTIALS: the collector asks for a client certificate that was not
    // given; the handshake goes on without one and the collector decides.
    read = received_.empty();
  }
}

bool TlsSession::Open(TlsCredentials& credentials, const TlsTrust& trust, SOCKET socket, const std::string& host,
                      std::string& why) {
  credentials_ = credentials.get();
  SetReceiveTimeout(socket, kHandshakeTimeoutMs);
  const bool shaken = Handshake(credentials, socket, host, why);
  SetReceiveTimeout(socket, 0);
  if (!shaken) return false;

  SecPkgContext_ConnectionInfo connection = {};
  if (QueryContextAttributesA(context_.get(), SECPKG_ATTR_CONNECTION_INFO, &connection) == SEC_E_OK) {
    if (connection.dwProtocol & SP_PROT_TLS1_3_CLIENT) {
      protocol_ = "TLS 1.3";
    } else if (connection.dwProtocol & SP_PROT_TLS1_2_CLIENT) {
      protocol_ = "TLS 1.2";
    } else {
      why = "the collector agreed on a protocol older than TLS 1.2";
      return false;
    }
  }
  PCCERT_CONTEXT remote = nullptr;
  if (QueryContextAttributesA(context_.get(), SECPKG_ATTR_REMOTE_CERT_CONTEXT, &remote) != SEC_E_OK) remote = nullptr;
  const scoped::CertContext server(remote);
  why = trust.Check(server.get(), host);
  if (!why.empty()) return false;
  const SECURITY_STATUS status = QueryContextAttributesA(context_.get(), SECPKG_ATTR_STREAM_SIZES, &sizes_);
  if (status != SEC_E_OK) {
    why = "the TLS record sizes could not be read: " + StatusText(status);
    return false;
  }
  return true;
}

bool TlsSession::Send(SOCKET socket, const std::string& bytes) {
  if (!context_ || sizes_.cbMaximumMessage == 0) return false;
  std::string record;
  for (std::size_t done = 0; done < bytes.size();) {
    const std::size_t part = std::min<std::size_t>(bytes.size() - done, sizes_.cbMaximumMessage);
    record.assign(sizes_.cbHeader + part + sizes_.cbTrailer, '\0');
    record.replace(sizes_.cbHeader, part, bytes, done, part);
    SecBuffer buffers[4] = {
        {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, &record[0]},
        {static_cast<unsigned long>(part), SECBUFFER_DATA, &record[sizes_.cbHeader]},
        {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, &record[sizes_.cbHeader + part]},
        {0, SECBUFFER_EMPTY, nullptr},
    };
    SecBufferDesc message = {SECBUFFER_VERSION, 4, buffers};
    if (EncryptMessage(context_.get(), 0, &message, 0) != SEC_E_OK) return false;
    const std::size_t size = buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer;
    if (!SendAll(socket, record.data(), size)) return false;
    done += part;
  }
  return true;
}

void TlsSession::Close(SOCKET socket) {
  if (!context_) return;
  DWORD type = SCHANNEL_SHUTDOWN;
  SecBuffer control = {sizeof type, SECBUFFER_TOKEN, &type};
  SecBufferDesc controls = {SECBUFFER_VERSION, 1, &control};
  if (ApplyControlToken(context_.get(), &controls) != SEC_E_OK) return;
  SecBuffer outToken = {0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc output = {SECBUFFER_VERSION, 1, &outToken};
  DWORD attributes = 0;
  const SECURITY_STATUS status = InitializeSecurityContextA(credentials_, context_.get(), nullptr, kContextRequest, 0,
                                                            0, nullptr, 0, nullptr, &output, &attributes, nullptr);
  if (status == SEC_E_OK || status == SEC_I_CONTEXT_EXPIRED) {
    SendToken(socket, outToken);
  } else {
    const scoped::ContextBuffer owned(outToken.pvBuffer);
  }
  context_.reset();
  sizes_ = {};
}

bool TlsSession::ClosedByPeer(SOCKET socket) {
  if (!Readable(socket)) return false;
  if (!ReadMore(socket, received_)) return true;
  // Decrypt every whole record read; the collector's data (none is expected) is dropped.
  while (!received_.empty()) {
    SecBuffer buffers[4] = {{static_cast<unsigned long>(received_.size()), SECBUFFER_DATA, &received_[0]},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc message = {SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = DecryptMessage(context_.get(), &message, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) return false;  // the rest comes later
    if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) return true;  // close_notify or a broken record
    std::size_t extra = 0;
    for (const SecBuffer& buffer : buffers) {
      if (buffer.BufferType == SECBUFFER_EXTRA) extra = buffer.cbBuffer;
    }
    received_.erase(0, received_.size() - extra);
    if (status == SEC_I_RENEGOTIATE) {
      // TLS 1.3's messages after the handshake (a session ticket, a key update): the context
      // takes them through InitializeSecurityContext, with nothing to answer in most cases.
      SecBuffer inBuffers[2] = {{static_cast<unsigned long>(received_.size()), SECBUFFER_TOKEN,
                                 received_.empty() ? nullptr : &received_[0]},
                                {0, SECBUFFER_EMPTY, nullptr}};
      SecBufferDesc input = {SECBUFFER_VERSION, 2, inBuffers};
      SecBuffer outToken = {0, SECBUFFER_TOKEN, nullptr};
      SecBufferDesc output = {SECBUFFER_VERSION, 1, &outToken};
      DWORD attributes = 0;
      const SECURITY_STATUS again = InitializeSecurityContextA(credentials_, context_.get(), nullptr, kContextRequest, 0, 0,
                                                               &input, 0, nullptr, &output, &attributes, nullptr);
      if (!SendToken(socket, outToken) || (again != SEC_E_OK && again != SEC_I_CONTINUE_NEEDED)) return true;
      if (inBuffers[1].BufferType == SECBUFFER_EXTRA) {
        received_.erase(0, received_.size() - inBuffers[1].cbBuffer);
      } else {
        received_.clear();
      }
    }
  }
  return false;
}

}  // namespace capture
