// A small HTTP/1.1 server on 127.0.0.1 for tests, plain or over TLS. It
// records every request exactly as it arrived (request line, each header
// line with its bytes, the body) and hands it to the test's handler, which
// writes whatever bytes it likes and may stall, reset or close. Each
// connection has its own thread; the destructor stops and joins them all.
// Setup failures abort the test program.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "testing/test_certificates.h"

struct ReceivedRequest {
  std::string requestLine;
  std::vector<std::string> headerLines;  // as received, without CR LF
  std::string body;

  // The trimmed value of the first header of that name (any letter case).
  [[nodiscard]] std::optional<std::string> Header(std::string_view name) const;
  [[nodiscard]] std::string Path() const;  // the request target
};

class TestServer;

class ServerConnection {
 public:
  // False once the client has gone.
  bool Write(std::string_view bytes);
  // Closes at once with a TCP reset.
  void Reset();
  void Close();
  // Reads and discards until the client closes or the server stops.
  void WaitForClientClose();
  // Sleeps `ms` milliseconds, less when the server stops.
  void Pause(int ms);
  [[nodiscard]] bool Closed() const { return fd_ < 0; }

 private:
  friend class TestServer;
  ServerConnection(TestServer& server, int fd, void* ssl);
  long Read(char* buffer, int size);
  bool ReadRequest(ReceivedRequest& request);

  TestServer& server_;
  int fd_;
  void* ssl_;  // SSL*, or null for plain HTTP
  std::string pending_;
};

using RequestHandler =
    std::function<void(const ReceivedRequest&, ServerConnection&)>;

struct ServerOptions {
  const TlsIdentity* tls = nullptr;  // null: plain HTTP
  // Accept connections and never read or answer anything.
  bool silent = false;
};

class TestServer {
 public:
  explicit TestServer(RequestHandler handler, ServerOptions options = {});
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  [[nodiscard]] int Port() const { return port_; }
  // "https://127.0.0.1:port" (or http) followed by `target`.
  [[nodiscard]] std::string Url(std::string_view target = "/") const;
  [[nodiscard]] std::vector<ReceivedRequest> Requests() const;
  [[nodiscard]] int Connections() const { return connections_; }

 private:
  friend class ServerConnection;
  void AcceptLoop();
  void Serve(int fd);
  void Forget(int fd);
  bool Stopping() const { return stopping_; }

  RequestHandler handler_;
  ServerOptions options_;
  void* sslContext_ = nullptr;  // SSL_CTX*
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_ = false;
  std::atomic<int> connections_ = 0;
  std::thread acceptor_;

  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  std::vector<std::thread> workers_;
  std::set<int> openFds_;
  std::vector<ReceivedRequest> requests_;
};

// A complete response with a Content-Length header after `headerLines`.
[[nodiscard]] std::string HttpResponse(
    int status, const std::vector<std::string>& headerLines,
    std::string_view body);
