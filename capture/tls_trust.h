// TlsTrust: whom tellitcap's TLS connection to a syslog collector trusts (the system's roots, the
// CA of --ca alone, or nobody checked with --insecure) and the client certificate it shows; and
// the check of the collector's certificate against them, with a reason a person can act on.
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <string>

#include "scoped/scoped_crypt.h"

namespace capture {

struct TlsOptions {
  std::string caFile;          // empty: the system's trusted roots
  std::string clientCertFile;  // empty: none; else PKCS#12 with the private key
  std::string clientCertPassword;
  bool insecure = false;       // no check at all
};

class TlsTrust {
 public:
  // Reads the files the options name; false with a one-line reason.
  bool Load(const TlsOptions& options, std::string& error);

  // Empty when `server` (the collector's certificate, with the certificates it sent beside it in
  // its store) is valid now, for a TLS server, chains to a trusted root and names `host`; else
  // why not, as "the collector's certificate ...".
  std::string Check(PCCERT_CONTEXT server, const std::string& host) const;

  // The certificate to show a collector that asks for one; null when none was given.
  PCCERT_CONTEXT clientCertificate() const { return clientCertificate_.get(); }
  bool insecure() const { return insecure_; }

 private:
  std::string CheckChain(PCCERT_CHAIN_CONTEXT chain) const;

  bool insecure_ = false;
  scoped::CertStore ca_;                 // the certificates of --ca; empty: the system's roots
  scoped::CertStore clientStore_;        // the PKCS#12 file's certificates and keys
  scoped::CertContext clientCertificate_;
};

}  // namespace capture
