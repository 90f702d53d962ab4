#include "support/test_certificates.hpp"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <functional>
#include <stdexcept>

namespace vx::testing {
namespace {

struct KeyDeleter {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertificateDeleter {
  void operator()(X509* certificate) const { X509_free(certificate); }
};
struct BioDeleter {
  void operator()(BIO* bio) const { BIO_free(bio); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyDeleter>;
using Certificate = std::unique_ptr<X509, CertificateDeleter>;
using Bio = std::unique_ptr<BIO, BioDeleter>;

void require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test certificates: cannot ") + what);
}

Key newKey() {
  Key key(EVP_EC_gen("P-256"));
  require(key != nullptr, "make a key");
  return key;
}

// A random positive 63-bit serial: unique enough among the few certificates of one authority.
void setRandomSerial(X509* certificate) {
  std::unique_ptr<BIGNUM, decltype(&BN_free)> serial(BN_new(), &BN_free);
  require(serial && BN_rand(serial.get(), 63, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) == 1 &&
              BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate)) != nullptr,
          "set a serial number");
}

void setCommonName(X509_NAME* name, const std::string& commonName) {
  require(X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                                     reinterpret_cast<const unsigned char*>(commonName.c_str()), -1,
                                     -1, 0) == 1,
          "set a name");
}

// One extension in the configuration syntax of `openssl x509 -extfile`, e.g. "critical,CA:TRUE".
void addExtension(X509* certificate, X509* issuer, int nid, const std::string& value) {
  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
  require(extension != nullptr, "make an extension");
  const bool added = X509_add_ext(certificate, extension, -1) == 1;
  X509_EXTENSION_free(extension);
  require(added, "add an extension");
}

// A certificate for `subject` with `key`, valid between the two offsets from now, without
// extensions or signature yet. `issuerName` nothing: self-issued.
Certificate newCertificate(const std::string& subject, EVP_PKEY* key, X509_NAME* issuerName,
                           std::chrono::seconds notBefore, std::chrono::seconds notAfter) {
  Certificate certificate(X509_new());
  require(certificate != nullptr, "make a certificate");
  X509* c = certificate.get();
  require(X509_set_version(c, 2) == 1, "set the version");
  setRandomSerial(c);
  require(X509_gmtime_adj(X509_getm_notBefore(c), static_cast<long>(notBefore.count())) &&
              X509_gmtime_adj(X509_getm_notAfter(c), static_cast<long>(notAfter.count())),
          "set the validity");
  setCommonName(X509_get_subject_name(c), subject);
  require(X509_set_issuer_name(c, issuerName ? issuerName : X509_get_subject_name(c)) == 1,
          "set the issuer");
  require(X509_set_pubkey(c, key) == 1, "set the public key");
  return certificate;
}

void sign(X509* certificate, EVP_PKEY* issuerKey) {
  require(X509_sign(certificate, issuerKey, EVP_sha256()) > 0, "sign");
}

std::string pem(const std::function<int(BIO*)>& write) {
  Bio bio(BIO_new(BIO_s_mem()));
  require(bio != nullptr && write(bio.get()) == 1, "write PEM");
  char* data = nullptr;
  const long length = BIO_get_mem_data(bio.get(), &data);
  return std::string(data, static_cast<std::size_t>(length));
}

std::string certificateText(X509* certificate) {
  return pem([&](BIO* bio) { return PEM_write_bio_X509(bio, certificate); });
}

std::string keyText(EVP_PKEY* key) {
  return pem([&](BIO* bio) {
    return PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
  });
}

}  // namespace

struct CertificateAuthority::Parts {
  Key key;
  Certificate certificate;
};

CertificateAuthority::CertificateAuthority(const std::string& commonName)
    : parts_(std::make_unique<Parts>()) {
  parts_->key = newKey();
  parts_->certificate = newCertificate(commonName, parts_->key.get(), nullptr,
                                       -std::chrono::hours(24), std::chrono::hours(24));
  X509* c = parts_->certificate.get();
  addExtension(c, c, NID_basic_constraints, "critical,CA:TRUE");
  addExtension(c, c, NID_key_usage, "critical,keyCertSign,cRLSign");
  addExtension(c, c, NID_subject_key_identifier, "hash");
  sign(c, parts_->key.get());
}

CertificateAuthority::~CertificateAuthority() = default;

std::string CertificateAuthority::certificatePem() const {
  return certificateText(parts_->certificate.get());
}

IssuedCertificate CertificateAuthority::issue(const std::string& host,
                                              std::chrono::seconds notBefore,
                                              std::chrono::seconds notAfter) const {
  Key key = newKey();
  X509* issuer = parts_->certificate.get();
  Certificate certificate =
      newCertificate(host, key.get(), X509_get_subject_name(issuer), notBefore, notAfter);
  X509* c = certificate.get();
  addExtension(c, issuer, NID_basic_constraints, "critical,CA:FALSE");
  addExtension(c, issuer, NID_key_usage, "critical,digitalSignature");
  addExtension(c, issuer, NID_ext_key_usage, "serverAuth");
  addExtension(c, issuer, NID_subject_key_identifier, "hash");
  addExtension(c, issuer, NID_authority_key_identifier, "keyid:always");
  addExtension(c, issuer, NID_subject_alt_name, "DNS:" + host);
  sign(c, parts_->key.get());
  return {certificateText(c), keyText(key.get())};
}

}  // namespace vx::testing
