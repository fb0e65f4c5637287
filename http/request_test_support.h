// Helpers for the tests of HttpRequest and the request object: request
// objects that trust the tests' certificate authority, a handler that
// answers every request, and a clock for the timeout tests.
#pragma once

#include <chrono>
#include <memory>

#include "http/request.h"
#include "http/request_object.h"
#include "testing/https_server.h"
#include "testing/test_certificates.h"

// A request object that trusts the test CA; null when none can be made.
inline std::shared_ptr<RequestObject> TrustingObject() {
  std::shared_ptr<RequestObject> object = RequestObject::Create();
  if (object) {
    object->SetCertificateAuthorityFile(SharedTestCertificates().authorityFile);
  }
  return object;
}

// While it lives, HttpRequest makes its objects with `factory`.
class ScopedRequestObjectFactory {
 public:
  explicit ScopedRequestObjectFactory(
      RequestObjectFactory factory = TrustingObject)
      : previous_(SetRequestObjectFactory(std::move(factory))) {}
  ~ScopedRequestObjectFactory() { SetRequestObjectFactory(previous_); }
  ScopedRequestObjectFactory(const ScopedRequestObjectFactory&) = delete;
  ScopedRequestObjectFactory& operator=(const ScopedRequestObjectFactory&) =
      delete;

 private:
  RequestObjectFactory previous_;
};

// Answers 200 with the body "ok" (none for HEAD).
inline void AnswerOk(const ReceivedRequest& request,
                     ServerConnection& connection) {
  const bool head = request.requestLine.starts_with("HEAD ");
  std::string response = HttpResponse(200, {}, "ok");
  if (head) response.resize(response.size() - 2);
  connection.Write(response);
}

inline ServerOptions Https() {
  return {.tls = &SharedTestCertificates().loopback};
}

class Stopwatch {
 public:
  [[nodiscard]] double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() -
                                         start_)
        .count();
  }

 private:
  std::chrono::steady_clock::time_point start_ =
      std::chrono::steady_clock::now();
};
