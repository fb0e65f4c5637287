#include "testing/https_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr size_t kMaxHeaderBytes = 1 << 20;

[[noreturn]] void Die(const char* what) {
  std::fprintf(stderr, "test server: %s failed\n", what);
  std::abort();
}

SSL* AsSsl(void* ssl) { return static_cast<SSL*>(ssl); }

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

SSL_CTX* NewServerContext(const TlsIdentity& identity) {
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  if (context == nullptr) Die("SSL_CTX_new");
  std::unique_ptr<BIO, decltype(&BIO_free)> certBio(
      BIO_new_mem_buf(identity.certificatePem.data(),
                      static_cast<int>(identity.certificatePem.size())),
      BIO_free);
  std::unique_ptr<BIO, decltype(&BIO_free)> keyBio(
      BIO_new_mem_buf(identity.privateKeyPem.data(),
                      static_cast<int>(identity.privateKeyPem.size())),
      BIO_free);
  std::unique_ptr<X509, decltype(&X509_free)> cert(
      PEM_read_bio_X509(certBio.get(), nullptr, nullptr, nullptr), X509_free);
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(
      PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr),
      EVP_PKEY_free);
  if (!cert || !key || SSL_CTX_use_certificate(context, cert.get()) != 1 ||
      SSL_CTX_use_PrivateKey(context, key.get()) != 1) {
    Die("loading the server identity");
  }
  return context;
}

}  // namespace

std::optional<std::string> ReceivedRequest::Header(
    std::string_view name) const {
  const std::string wanted = Lower(name);
  for (const std::string& line : headerLines) {
    const size_t colon = line.find(':');
    if (colon != std::string::npos && Lower(line.substr(0, colon)) == wanted) {
      return std::string(Trim(std::string_view(line).substr(colon + 1)));
    }
  }
  return std::nullopt;
}

std::string ReceivedRequest::Path() const {
  const size_t first = requestLine.find(' ');
  const size_t last = requestLine.rfind(' ');
  if (first == std::string::npos || last <= first) return {};
  return requestLine.substr(first + 1, last - first - 1);
}

ServerConnection::ServerConnection(TestServer& server, int fd, void* ssl)
    : server_(server), fd_(fd), ssl_(ssl) {}

long ServerConnection::Read(char* buffer, int size) {
  if (fd_ < 0) return -1;
  if (ssl_ != nullptr) return SSL_read(AsSsl(ssl_), buffer, size);
  return recv(fd_, buffer, static_cast<size_t>(size), 0);
}

bool ServerConnection::Write(std::string_view bytes) {
  while (!bytes.empty() && fd_ >= 0) {
    const int chunk = static_cast<int>(std::min<size_t>(bytes.size(), 1 << 20));
    const long written =
        ssl_ != nullptr
            ? SSL_write(AsSsl(ssl_), bytes.data(), chunk)
            : send(fd_, bytes.data(), static_cast<size_t>(chunk), MSG_NOSIGNAL);
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return fd_ >= 0;
}

void ServerConnection::Reset() {
  if (fd_ < 0) return;
  const linger abortive{1, 0};
  setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  server_.Forget(fd_);
  close(fd_);
  fd_ = -1;
}

void ServerConnection::Close() {
  if (fd_ < 0) return;
  if (ssl_ != nullptr) SSL_shutdown(AsSsl(ssl_));
  server_.Forget(fd_);
  close(fd_);
  fd_ = -1;
}

void ServerConnection::WaitForClientClose() {
  char buffer[4096];
  while (!server_.Stopping() && Read(buffer, sizeof buffer) > 0) {
  }
}

void ServerConnection::Pause(int ms) {
  std::unique_lock lock(server_.mutex_);
  server_.stopped_.wait_for(lock, std::chrono::milliseconds(ms),
                            [&] { return server_.Stopping(); });
}

bool ServerConnection::ReadRequest(ReceivedRequest& request) {
  size_t end;
  while ((end = pending_.find("\r\n\r\n")) == std::string::npos) {
    if (pending_.size() > kMaxHeaderBytes) return false;
    char buffer[4096];
    const long got = Read(buffer, sizeof buffer);
    if (got <= 0) return false;
    pending_.append(buffer, static_cast<size_t>(got));
  }
  const std::string head = pending_.substr(0, end);
  pending_.erase(0, end + 4);
  size_t lineStart = 0;
  bool first = true;
  while (lineStart <= head.size()) {
    size_t lineEnd = head.find("\r\n", lineStart);
    if (lineEnd == std::string::npos) lineEnd = head.size();
    std::string line = head.substr(lineStart, lineEnd - lineStart);
    if (first) {
      request.requestLine = std::move(line);
      first = false;
    } else {
      request.headerLines.push_back(std::move(line));
    }
    lineStart = lineEnd + 2;
  }
  const size_t length = std::strtoul(
      request.Header("Content-Length").value_or("0").c_str(), nullptr, 10);
  while (pending_.size() < length) {
    char buffer[4096];
    const long got = Read(buffer, sizeof buffer);
    if (got <= 0) return false;
    pending_.append(buffer, static_cast<size_t>(got));
  }
  request.body = pending_.substr(0, length);
  pending_.erase(0, length);
  return true;
}

TestServer::TestServer(RequestHandler handler, ServerOptions options)
    : handler_(std::move(handler)), options_(options) {
  std::signal(SIGPIPE, SIG_IGN);  // a client that left must not end the test
  if (options_.tls != nullptr) sslContext_ = NewServerContext(*options_.tls);
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) Die("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(listener_, 16) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) !=
          0) {
    Die("bind/listen");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

TestServer::~TestServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (int fd : openFds_) shutdown(fd, SHUT_RDWR);
  }
  stopped_.notify_all();
  shutdown(listener_, SHUT_RDWR);  // wakes accept()
  acceptor_.join();
  close(listener_);
  std::vector<std::thread> workers;
  {
    std::lock_guard lock(mutex_);
    workers.swap(workers_);
  }
  for (std::thread& worker : workers) worker.join();
  SSL_CTX_free(static_cast<SSL_CTX*>(sslContext_));
}

std::string TestServer::Url(std::string_view target) const {
  return std::string(options_.tls != nullptr ? "https" : "http") +
         "://127.0.0.1:" + std::to_string(port_) + std::string(target);
}

std::vector<ReceivedRequest> TestServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void TestServer::AcceptLoop() {
  for (;;) {
    const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    std::lock_guard lock(mutex_);
    if (fd < 0 || stopping_) {
      if (fd >= 0) close(fd);
      if (stopping_) return;
      continue;
    }
    ++connections_;
    openFds_.insert(fd);
    workers_.emplace_back([this, fd] { Serve(fd); });
  }
}

void TestServer::Forget(int fd) {
  std::lock_guard lock(mutex_);
  openFds_.erase(fd);
}

void TestServer::Serve(int fd) {
  std::unique_ptr<SSL, decltype(&SSL_free)> ssl(nullptr, SSL_free);
  ServerConnection connection(*this, fd, nullptr);
  if (options_.silent) {
    // Never read: the client's bytes stay in the socket until it gives up.
    pollfd watch{fd, POLLRDHUP, 0};
    while (!Stopping() && poll(&watch, 1, 50) >= 0 &&
           (watch.revents & (POLLRDHUP | POLLHUP | POLLERR)) == 0) {
    }
    connection.Close();
    return;
  }
  if (sslContext_ != nullptr) {
    ssl.reset(SSL_new(static_cast<SSL_CTX*>(sslContext_)));
    if (!ssl || SSL_set_fd(ssl.get(), fd) != 1 || SSL_accept(ssl.get()) != 1) {
      ERR_clear_error();
      connection.Close();
      return;
    }
    connection.ssl_ = ssl.get();
  }
  while (!connection.Closed() && !Stopping()) {
    ReceivedRequest request;
    if (!connection.ReadRequest(request)) break;
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    handler_(request, connection);
  }
  connection.Close();
  ERR_clear_error();
}

std::string HttpResponse(int status,
                         const std::vector<std::string>& headerLines,
                         std::string_view body) {
  const char* reason = status == 200   ? "OK"
                       : status == 302 ? "Found"
                       : status == 400 ? "Bad Request"
                       : status == 404 ? "Not Found"
                                       : "Status";
  std::string response =
      "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\n";
  for (const std::string& line : headerLines) response += line + "\r\n";
  response += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  response += body;
  return response;
}
