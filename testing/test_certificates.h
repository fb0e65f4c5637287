// A throw-away certificate authority for tests, made with OpenSSL when the
// test runs: the CA certificate as a PEM file (for clients to trust) and
// server identities signed by it, as PEM text. Keys are P-256, valid from
// an hour ago for a day. A failure to make them aborts the test program.
#pragma once

#include <filesystem>
#include <string>

struct TlsIdentity {
  std::string certificatePem;
  std::string privateKeyPem;
};

struct TestCertificates {
  std::filesystem::path directory;  // removed with this object
  std::string authorityFile;        // the CA certificate, PEM
  TlsIdentity loopback;             // for 127.0.0.1 and localhost
  TlsIdentity otherName;            // for other.example only

  TestCertificates();
  ~TestCertificates();
  TestCertificates(const TestCertificates&) = delete;
  TestCertificates& operator=(const TestCertificates&) = delete;
};

// One set per test program, made on first use.
const TestCertificates& SharedTestCertificates();
