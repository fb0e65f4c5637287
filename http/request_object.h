// The HTTP request object: one synchronous HTTP/1.1 exchange at a time, set
// up member by member (timeouts, proxy, credentials, options, headers) and
// then sent, after which body, headers and status are read back.
// Times are milliseconds. A member call that fails is recorded (LastError)
// and never thrown; the object stays usable. Reads before a successful Send,
// or after a failed one, give an empty body, empty headers and status 0.
// Certificates and host names are verified unless option 4 says otherwise.
// Requests of all objects share one connection cache for the process, so a
// later request to the same server reuses the open (TLS) connection.
#pragma once

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "text/text.h"

// Option indexes.
inline constexpr int kOptionIgnoreCertificateErrors = 4;
inline constexpr int kOptionEnableRedirects = 6;

// Certificate errors that option 4 can ignore.
inline constexpr int kIgnoreUnknownAuthority = 0x0100;
inline constexpr int kIgnoreWrongUsage = 0x0200;
inline constexpr int kIgnoreInvalidCommonName = 0x1000;
inline constexpr int kIgnoreInvalidDate = 0x2000;
inline constexpr int kIgnoreAllCertificateErrors = 0x3300;

// SetProxy settings: 0 and 1 go direct, 2 through the named proxy.
inline constexpr int kProxyDirect = 1;
inline constexpr int kProxyNamed = 2;

// SetCredentials targets.
inline constexpr int kCredentialsForServer = 0;
inline constexpr int kCredentialsForProxy = 1;

// A response body above this many bytes ends the exchange as a failure.
inline constexpr long long kMaxResponseBodyBytes = 64LL * 1024 * 1024;

// A timeout of 0 or less waits without limit.
struct RequestTimeouts {
  int resolveMs = 0;
  int connectMs = 60000;
  int sendMs = 30000;
  int receiveMs = 30000;
};

struct Credentials {
  Text user;
  Text password;
};

// What the setting members have stored on an object; kept across Open and
// Send until changed.
struct RequestSettings {
  RequestTimeouts timeouts;
  Text proxy;  // host:port; empty goes direct
  std::optional<Credentials> serverCredentials;
  std::optional<Credentials> proxyCredentials;
  bool followRedirects = true;  // at most 10
  int ignoredCertificateErrors = 0;
  Text certificateAuthorityFile;  // empty: the system's trust store
};

struct TransferEngine;

class RequestObject {
 public:
  // Null when the underlying HTTP handle cannot be made.
  [[nodiscard]] static std::shared_ptr<RequestObject> Create();
  ~RequestObject();
  RequestObject(const RequestObject&) = delete;
  RequestObject& operator=(const RequestObject&) = delete;

  // Name resolution and connection (TLS handshake included) share one
  // budget, the larger of the two; sending and receiving give up when no
  // byte has moved for that long, so a slow but steady body is not cut.
  void SetTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs);
  // `setting` kProxyNamed routes through `proxy` (host:port); 0 and 1 direct.
  void SetProxy(int setting, const Text& proxy = {});
  // Basic credentials for the proxy (flag 1) or the server (flag 0).
  void SetCredentials(const Text& user, const Text& password, int flag);
  // Starts a new request: its headers and the previous response are
  // dropped. Only the synchronous mode (`async` false) exists; the URL must
  // be http or https.
  void Open(const Text& method, const Text& url, bool async = false);
  // Index 4: certificate errors to ignore (bit mask above); index 6:
  // redirect following, 0 off. Other indexes fail.
  void Option(int index, int value);
  // CR and LF bytes are dropped from name and value; an empty name is
  // refused. Headers go out in the order they were set.
  void SetRequestHeader(const Text& name, const Text& value);
  // Performs the exchange and waits for the whole response. A string body
  // goes out as its bytes; HEAD sends no body.
  void Send(const Text& body = {});
  void Send(const Bytes& body);

  [[nodiscard]] Bytes ResponseBody() const;
  // The final response's header lines without the status line, joined by
  // CR LF.
  [[nodiscard]] Text GetAllResponseHeaders() const;
  [[nodiscard]] int Status() const;

  // Trusts the PEM certificates of `path` instead of the system's store.
  void SetCertificateAuthorityFile(const Text& path);

  [[nodiscard]] const RequestSettings& Settings() const { return settings_; }
  // What the last failed member call ran into; empty when none failed yet.
  [[nodiscard]] const Text& LastError() const { return lastError_; }

 private:
  explicit RequestObject(std::unique_ptr<TransferEngine> engine);
  void Fail(Text what);
  void Perform(const char* body, long long size);

  std::unique_ptr<TransferEngine> engine_;
  RequestSettings settings_;
  Text lastError_;

  bool opened_ = false;
  Text method_;
  Text url_;
  std::vector<std::pair<Text, Text>> headers_;

  bool responded_ = false;
  int status_ = 0;
  Text responseHeaders_;
  Bytes responseBody_;
};
