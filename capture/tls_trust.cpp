// Loading --ca and --client-cert, and checking the collector's certificate: its chain by the
// system's chain engine, its root against --ca when given, its name by the SSL policy.
#include "capture/tls_trust.h"

#include <wininet.h>  // SECURITY_FLAG_IGNORE_UNKNOWN_CA of the SSL policy

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "capture/pem_certificates.h"

namespace capture {

namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

bool ReadWholeFile(const std::string& name, std::string& bytes) {
  std::ifstream file(name, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

std::wstring Widened(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

// "2024-05-06" of a certificate's time.
std::string DateOf(const FILETIME& time) {
  SYSTEMTIME utc = {};
  if (!FileTimeToSystemTime(&time, &utc)) return "?";
  char text[16];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u", utc.wYear, utc.wMonth, utc.wDay);
  return text;
}

// The DNS name a certificate is for (its first subject alternative name, else its common name).
std::string NameOf(PCCERT_CONTEXT certificate) {
  char name[256] = {};
  CertGetNameStringA(certificate, CERT_NAME_DNS_TYPE, 0, nullptr, name, sizeof name);
  return name[0] ? name : "no name";
}

std::string SubjectOf(PCCERT_CONTEXT certificate, DWORD flags = 0) {
  char name[256] = {};
  CertGetNameStringA(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, nullptr, name, sizeof name);
  return name[0] ? name : "?";
}

// Who signed the last certificate of the chain: its issuer, found or not.
std::string IssuerOfTop(PCCERT_CHAIN_CONTEXT chain) {
  const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
  return SubjectOf(simple->rgpElement[simple->cElement - 1]->pCertContext, CERT_NAME_ISSUER_FLAG);
}

// The certificate a chain ends in: its root when it is complete.
PCCERT_CONTEXT TopOf(PCCERT_CHAIN_CONTEXT chain) {
  const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
  return simple->rgpElement[simple->cElement - 1]->pCertContext;
}

// The certificate in the chain that is out of its validity period, or the end one.
PCCERT_CONTEXT TimeInvalidOf(PCCERT_CHAIN_CONTEXT chain) {
  const CERT_SIMPLE_CHAIN* simple = chain->rgpChain[0];
  for (DWORD i = 0; i < simple->cElement; ++i) {
    if (simple->rgpElement[i]->TrustStatus.dwErrorStatus & CERT_TRUST_IS_NOT_TIME_VALID) {
      return simple->rgpElement[i]->pCertContext;
    }
  }
  return simple->rgpElement[0]->pCertContext;
}

}  // namespace

bool TlsTrust::Load(const TlsOptions& options, std::string& error) {
  insecure_ = options.insecure;
  if (!options.caFile.empty()) {
    std::string bytes;
    if (!ReadWholeFile(options.caFile, bytes)) {
      error = "--ca " + options.caFile + " could not be read";
      return false;
    }
    std::vector<std::string> certificates;
    std::string why;
    if (!CertificatesOfFile(bytes, certificates, why)) {
      error = "--ca " + options.caFile + ": " + why;
      return false;
    }
    ca_.reset(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr));
    if (!ca_) {
      error = "a certificate store could not be made (error " + std::to_string(GetLastError()) + ")";
      return false;
    }
    for (const std::string& der : certificates) {
      if (!CertAddEncodedCertificateToStore(ca_.get(), X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                            static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                            nullptr)) {
        error = "--ca " + options.caFile + ": a certificate in it cannot be read (error " + Hex(GetLastError()) + ")";
        return false;
      }
    }
  }
  if (!options.clientCertFile.empty()) {
    std::string bytes;
    if (!ReadWholeFile(options.clientCertFile, bytes)) {
      error = "--client-cert " + options.clientCertFile + " could not be read";
      return false;
    }
    CRYPT_DATA_BLOB blob = {static_cast<DWORD>(bytes.size()), reinterpret_cast<BYTE*>(&bytes[0])};
    if (!PFXIsPFXBlob(&blob)) {
      error = "--client-cert " + options.clientCertFile + " is no PKCS#12 (.pfx, .p12) file";
      return false;
    }
    const std::wstring password = Widened(options.clientCertPassword);
    // CRYPT_EXPORTABLE: Wine's Schannel hands the key to GnuTLS by exporting it; the key stays in
    // this process's key container either way.
    clientStore_.reset(PFXImportCertStore(&blob, password.c_str(), CRYPT_EXPORTABLE | CRYPT_USER_KEYSET));
    if (!clientStore_) {
      const DWORD failure = GetLastError();
      error = "--client-cert " + options.clientCertFile +
              (failure == ERROR_INVALID_PASSWORD ? std::string(": the password (TELLITCAP_CERT_PASSWORD) is wrong")
                                                 : " cannot be imported (error " + Hex(failure) + ")");
      return false;
    }
    // The certificate that comes with its private key, not the CA certificates beside it.
    PCCERT_CONTEXT found = nullptr;
    while ((found = CertEnumCertificatesInStore(clientStore_.get(), found)) != nullptr) {
      DWORD size = 0;
      if (CertGetCertificateContextProperty(found, CERT_KEY_PROV_INFO_PROP_ID, nullptr, &size)) {
        clientCertificate_.reset(CertDuplicateCertificateContext(found));
        CertFreeCertificateContext(found);
        break;
      }
    }
    if (!clientCertificate_) {
      error = "--client-cert " + options.clientCertFile + " holds no certificate with its private key";
      return false;
    }
  }
  return true;
}

std::string TlsTrust::CheckChain(PCCERT_CHAIN_CONTEXT chain) const {
  DWORD errors = chain->TrustStatus.dwErrorStatus;
  // Revocation is not asked for: a collector's CA made for the purpose publishes no lists.
  errors &= ~(CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION);
  if (ca_) {
    // --ca alone: the chain must end in one of its certificates, which the system need not trust.
    const PCCERT_CONTEXT top = TopOf(chain);
    scoped::CertContext ours(CertFindCertificateInStore(ca_.get(), kEncoding, 0, CERT_FIND_EXISTING, top, nullptr));
    if (!ours || (errors & CERT_TRUST_IS_PARTIAL_CHAIN)) {
      return "the collector's certificate has an unknown issuer: it was issued by '" + IssuerOfTop(chain) +
             "', not by the CA of --ca";
    }
    errors &= ~CERT_TRUST_IS_UNTRUSTED_ROOT;
  }
  if (errors == CERT_TRUST_NO_ERROR) return std::string();
  if (errors & CERT_TRUST_IS_NOT_TIME_VALID) {
    const PCCERT_CONTEXT invalid = TimeInvalidOf(chain);
    return "the collector's certificate has expired or is not valid yet: '" + SubjectOf(invalid) +
           "' is valid from " + DateOf(invalid->pCertInfo->NotBefore) + " to " + DateOf(invalid->pCertInfo->NotAfter);
  }
  if (errors & (CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN)) {
    return "the collector's certificate has an unknown issuer: it was issued by '" + IssuerOfTop(chain) +
           "', which is no root this system trusts (--ca names a CA of your own)";
  }
  if (errors & CERT_TRUST_IS_REVOKED) return "the collector's certificate has been revoked";
  if (errors & CERT_TRUST_IS_NOT_SIGNATURE_VALID) return "the collector's certificate has a signature that is not valid";
  if (errors & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) return "the collector's certificate is not for TLS servers";
  return "the collector's certificate is not valid (chain status " + Hex(errors) + ")";
}

std::string TlsTrust::Check(PCCERT_CONTEXT server, const std::string& host) const {
  if (insecure_) return std::string();
  if (!server) return "the collector sent no certificate";
  // The certificates the collector sent (intermediates) and those of --ca, to build the chain with.
  scoped::CertStore extra(CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr));
  if (!extra) return "a certificate store could not be made (error " + std::to_string(GetLastError()) + ")";
  if (server->hCertStore) CertAddStoreToCollection(extra.get(), server->hCertStore, 0, 0);
  if (ca_) CertAddStoreToCollection(extra.get(), ca_.get(), 0, 1);

  LPSTR serverAuth[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
  CERT_CHAIN_PARA parameters = {};
  parameters.cbSize = sizeof parameters;
  parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
  parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
  parameters.RequestedUsage.Usage.rgpszUsageIdentifier = serverAuth;
  PCCERT_CHAIN_CONTEXT built = nullptr;
  if (!CertGetCertificateChain(nullptr, server, nullptr, extra.get(), &parameters, 0, nullptr, &built)) {
    return "the collector's certificate chain could not be built (error " + Hex(GetLastError()) + ")";
  }
  const scoped::CertChain chain(built);
  std::string why = CheckChain(chain.get());
  if (!why.empty()) return why;

  // The name, by the system's own rule for TLS servers (subject alternative names, wildcards).
  // The chain was judged above; with --ca its root is ours though the system does not know it.
  std::wstring serverName = Widened(host);
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
  ssl.cbSize = sizeof ssl;
  ssl.dwAuthType = AUTHTYPE_SERVER;
  ssl.fdwChecks = ca_ ? SECURITY_FLAG_IGNORE_UNKNOWN_CA : 0;
  ssl.pwszServerName = &serverName[0];
  CERT_CHAIN_POLICY_PARA policy = {};
  policy.cbSize = sizeof policy;
  policy.pvExtraPolicyPara = &ssl;
  CERT_CHAIN_POLICY_STATUS status = {};
  status.cbSize = sizeof status;
  if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &status)) {
    return "the collector's certificate could not be checked (error " + Hex(GetLastError()) + ")";
  }
  switch (static_cast<HRESULT>(status.dwError)) {
    case S_OK:
      return std::string();
    case CERT_E_CN_NO_MATCH:
      return "the collector's certificate is for '" + NameOf(server) + "', not for '" + host + "' (name mismatch)";
    case CERT_E_EXPIRED:
      return "the collector's certificate has expired";
    case CERT_E_UNTRUSTEDROOT:
      return "the collector's certificate has an unknown issuer";
    case CERT_E_WRONG_USAGE:
      return "the collector's certificate is not for TLS servers";
    default:
      return "the collector's certificate is refused by the TLS policy (error " + Hex(status.dwError) + ")";
  }
}

}  // namespace capture
