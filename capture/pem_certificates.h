// The certificates of a --ca file: PEM (one or more "BEGIN CERTIFICATE" blocks, text around them
// ignored) or DER (one certificate as its bytes). Portable: no Windows header.
#pragma once

#include <string>
#include <vector>

namespace capture {

// The DER bytes of each certificate in `file` (its whole contents), in the order they come; false
// with a one-line reason when there is none or a block is no base64.
bool CertificatesOfFile(const std::string& file, std::vector<std::string>& certificates, std::string& error);

// Standard base64 (RFC 4648) with line breaks and other white space ignored and '=' padding at
// the end only; false for any other character or a length that cannot be.
bool DecodeBase64(const std::string& text, std::string& bytes);

}  // namespace capture
