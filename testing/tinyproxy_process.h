// Debian's tinyproxy, run by a test in the foreground on a free loopback
// port with a configuration written to a temporary directory, and stopped
// (SIGTERM, then SIGKILL) when the object goes. Setup failures are reported
// through Running() and Log(), never thrown.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

class TinyproxyProcess {
 public:
  // With a non-empty `user`, the proxy demands Basic credentials.
  TinyproxyProcess(const std::string& user, const std::string& password);
  ~TinyproxyProcess();
  TinyproxyProcess(const TinyproxyProcess&) = delete;
  TinyproxyProcess& operator=(const TinyproxyProcess&) = delete;

  // True once the proxy accepts connections.
  [[nodiscard]] bool Running() const { return running_; }
  [[nodiscard]] std::string Address() const;  // "127.0.0.1:port"
  [[nodiscard]] std::string Log() const;      // what tinyproxy printed

 private:
  std::filesystem::path directory_;
  int port_ = 0;
  pid_t pid_ = -1;
  bool running_ = false;
};
