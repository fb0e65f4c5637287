#include "testing/tinyproxy_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

// A port that was free a moment ago; tinyproxy binds it right after.
int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in address = Loopback(0);
  socklen_t size = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

bool Accepts(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  const sockaddr_in address = Loopback(port);
  const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address),
                          sizeof address) == 0;
  close(fd);
  return ok;
}

}  // namespace

TinyproxyProcess::TinyproxyProcess(const std::string& user,
                                   const std::string& password) {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "finder-proxy-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return;
  directory_ = pattern;
  port_ = FreePort();
  if (port_ == 0) return;

  const std::string config = (directory_ / "tinyproxy.conf").string();
  {
    std::ofstream out(config);
    out << "Port " << port_ << "\n"
        << "Listen 127.0.0.1\n"
        << "Timeout 10\n"
        << "MaxClients 20\n"
        << "Allow 127.0.0.1\n"
        << "DisableViaHeader Yes\n"
        << "LogLevel Info\n";
    if (!user.empty()) out << "BasicAuth " << user << " " << password << "\n";
  }
  const std::string log = (directory_ / "tinyproxy.log").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::string program = "tinyproxy";
  std::string foreground = "-d";
  std::string configFlag = "-c";
  std::string configPath = config;
  char* argv[] = {program.data(), foreground.data(), configFlag.data(),
                  configPath.data(), nullptr};
  const int spawned =
      posix_spawnp(&pid_, "tinyproxy", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    pid_ = -1;
    return;
  }
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Accepts(port_)) {
      running_ = true;
      return;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;  // exited: the log says why
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

TinyproxyProcess::~TinyproxyProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  if (!directory_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }
}

std::string TinyproxyProcess::Address() const {
  return "127.0.0.1:" + std::to_string(port_);
}

std::string TinyproxyProcess::Log() const {
  std::ifstream in(directory_ / "tinyproxy.log");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
