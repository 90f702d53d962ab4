#pragma once

// Throw-away certificates for tests that talk TLS to a local server: a certificate authority
// made fresh for each test run, and server certificates it signs. Keys are P-256, signatures
// SHA-256. Validity is relative to the real time, since that is what TLS peers check.
//
//   vx::testing::CertificateAuthority authority("Test authority");
//   auto server = authority.issue("api.example.test");
//   vx::testing::writeFile(dir / "ca.pem", authority.certificatePem());

#include <chrono>
#include <memory>
#include <string>

namespace vx::testing {

// A certificate and its private key, both in PEM.
struct IssuedCertificate {
  std::string certificatePem;
  std::string keyPem;
};

class CertificateAuthority {
 public:
  // A new key and a self-signed authority certificate named `commonName`, valid for a day
  // either side of now. Throws std::runtime_error when the crypto library refuses.
  explicit CertificateAuthority(const std::string& commonName);
  ~CertificateAuthority();
  CertificateAuthority(const CertificateAuthority&) = delete;
  CertificateAuthority& operator=(const CertificateAuthority&) = delete;

  [[nodiscard]] std::string certificatePem() const;

  // A server certificate for the DNS name `host` (as subject and as its one alternative name),
  // valid from now + `notBefore` to now + `notAfter`.
  [[nodiscard]] IssuedCertificate issue(
      const std::string& host, std::chrono::seconds notBefore = -std::chrono::hours(1),
      std::chrono::seconds notAfter = std::chrono::hours(24)) const;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace vx::testing
