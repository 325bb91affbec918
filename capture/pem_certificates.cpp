// Reading PEM and DER certificate files: the blocks, their base64.
#include "capture/pem_certificates.h"

#include <cstddef>

namespace capture {

namespace {

constexpr char kBegin[] = "-----BEGIN CERTIFICATE-----";
constexpr char kEnd[] = "-----END CERTIFICATE-----";

// 0 to 63 for a base64 digit, -1 for anything else.
int DigitValue(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

bool DecodeBase64(const std::string& text, std::string& bytes) {
  bytes.clear();
  unsigned long bits = 0;
  int held = 0;      // bits waiting in `bits`
  int digits = 0;    // digits of the current group of four
  int padding = 0;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (c == '=') {
      if (digits < 2 || ++padding > 2) return false;
      continue;
    }
    const int value = DigitValue(c);
    if (value < 0 || padding != 0) return false;  // a digit after the padding
    bits = (bits << 6) | static_cast<unsigned long>(value);
    held += 6;
    digits = (digits + 1) % 4;
    if (held >= 8) {
      held -= 8;
      bytes += static_cast<char>((bits >> held) & 0xFF);
    }
  }
  // A last group of one digit carries no whole byte; padding must complete its group.
  if (digits == 1) return false;
  if (padding != 0 && digits + padding != 4) return false;
  return true;
}

bool CertificatesOfFile(const std::string& file, std::vector<std::string>& certificates, std::string& error) {
  certificates.clear();
  if (file.find("-----BEGIN") == std::string::npos) {
    // DER: an ASN.1 SEQUENCE (0x30) is how every certificate begins.
    if (file.empty() || static_cast<unsigned char>(file[0]) != 0x30) {
      error = "it is neither PEM nor a DER certificate";
      return false;
    }
    certificates.push_back(file);
    return true;
  }
  for (std::size_t at = file.find(kBegin); at != std::string::npos; at = file.find(kBegin, at)) {
    const std::size_t body = at + sizeof kBegin - 1;
    const std::size_t end = file.find(kEnd, body);
    if (end == std::string::npos) {
      error = "a certificate block has no END line";
      return false;
    }
    std::string der;
    if (!DecodeBase64(file.substr(body, end - body), der) || der.empty()) {
      error = "certificate " + std::to_string(certificates.size() + 1) + " is not base64";
      return false;
    }
    certificates.push_back(der);
    at = end + sizeof kEnd - 1;
  }
  if (certificates.empty()) {
    error = "it holds no BEGIN CERTIFICATE block";
    return false;
  }
  return true;
}

}  // namespace capture
