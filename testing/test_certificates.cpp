#include "testing/test_certificates.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>

namespace {

struct PkeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;
struct X509Free {
  void operator()(X509* cert) const { X509_free(cert); }
};
using Cert = std::unique_ptr<X509, X509Free>;
struct BioFree {
  void operator()(BIO* bio) const { BIO_free(bio); }
};
using Bio = std::unique_ptr<BIO, BioFree>;
struct ExtensionFree {
  void operator()(X509_EXTENSION* ext) const { X509_EXTENSION_free(ext); }
};
using Extension = std::unique_ptr<X509_EXTENSION, ExtensionFree>;

[[noreturn]] void Die(const char* what) {
  std::fprintf(stderr, "test certificates: %s failed\n", what);
  std::abort();
}

void Check(bool ok, const char* what) {
  if (!ok) Die(what);
}

Pkey NewKey() {
  Pkey key(EVP_EC_gen("P-256"));
  Check(key != nullptr, "EVP_EC_gen");
  return key;
}

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
  Extension ext(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
  Check(ext != nullptr, "X509V3_EXT_conf_nid");
  Check(X509_add_ext(cert, ext.get(), -1) == 1, "X509_add_ext");
}

// A certificate for `key` named `commonName`; self-signed when `issuer` is
// null, else signed with `issuerKey`.
Cert NewCertificate(EVP_PKEY* key, const char* commonName, X509* issuer,
                    EVP_PKEY* issuerKey, const char* subjectAltName) {
  static std::mt19937 serials(std::random_device{}());
  Cert cert(X509_new());
  Check(cert != nullptr, "X509_new");
  X509_set_version(cert.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()),
                   static_cast<long>(serials() & 0x7fffffff));
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), 24 * 3600);
  X509_set_pubkey(cert.get(), key);
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(commonName),
                             -1, -1, 0);
  X509* signer = issuer != nullptr ? issuer : cert.get();
  X509_set_issuer_name(cert.get(), X509_get_subject_name(signer));
  if (issuer == nullptr) {
    AddExtension(cert.get(), signer, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(cert.get(), signer, NID_key_usage,
                 "critical,keyCertSign,cRLSign");
    AddExtension(cert.get(), signer, NID_subject_key_identifier, "hash");
  } else {
    AddExtension(cert.get(), signer, NID_basic_constraints, "CA:FALSE");
    AddExtension(cert.get(), signer, NID_ext_key_usage, "serverAuth");
    AddExtension(cert.get(), signer, NID_subject_alt_name, subjectAltName);
    AddExtension(cert.get(), signer, NID_authority_key_identifier,
                 "keyid:always");
  }
  Check(X509_sign(cert.get(), issuer != nullptr ? issuerKey : key,
                  EVP_sha256()) > 0,
        "X509_sign");
  return cert;
}

std::string ReadBio(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  return std::string(data, static_cast<size_t>(size));
}

std::string CertificatePem(X509* cert) {
  Bio bio(BIO_new(BIO_s_mem()));
  Check(bio && PEM_write_bio_X509(bio.get(), cert) == 1, "PEM_write_bio_X509");
  return ReadBio(bio.get());
}

std::string KeyPem(EVP_PKEY* key) {
  Bio bio(BIO_new(BIO_s_mem()));
  Check(bio && PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0,
                                        nullptr, nullptr) == 1,
        "PEM_write_bio_PrivateKey");
  return ReadBio(bio.get());
}

TlsIdentity ServerIdentity(X509* authority, EVP_PKEY* authorityKey,
                           const char* commonName, const char* altNames) {
  Pkey key = NewKey();
  Cert cert =
      NewCertificate(key.get(), commonName, authority, authorityKey, altNames);
  return {CertificatePem(cert.get()), KeyPem(key.get())};
}

}  // namespace

TestCertificates::TestCertificates() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "finder-ca-XXXXXX").string();
  Check(mkdtemp(pattern.data()) != nullptr, "mkdtemp");
  directory = pattern;

  Pkey authorityKey = NewKey();
  Cert authority = NewCertificate(authorityKey.get(), "finder test CA", nullptr,
                                  nullptr, nullptr);
  authorityFile = (directory / "ca.pem").string();
  std::ofstream(authorityFile) << CertificatePem(authority.get());

  loopback = ServerIdentity(authority.get(), authorityKey.get(), "127.0.0.1",
                            "IP:127.0.0.1,DNS:localhost");
  otherName = ServerIdentity(authority.get(), authorityKey.get(),
                             "other.example", "DNS:other.example");
}

TestCertificates::~TestCertificates() {
  std::error_code ignored;
  std::filesystem::remove_all(directory, ignored);
}

const TestCertificates& SharedTestCertificates() {
  static const TestCertificates certificates;
  return certificates;
}
