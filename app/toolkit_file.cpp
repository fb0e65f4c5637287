#include "app/toolkit_file.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "text/codepage.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#endif

namespace {

// A short random name for the new file; it is created exclusively, so a
// clash only costs another try.
std::string TempLeaf() {
  static std::mt19937 generator{std::random_device{}()};
  char leaf[32];
  std::snprintf(leaf, sizeof leaf, ".finder-%08x.tmp",
                static_cast<unsigned>(generator()));
  return leaf;
}

constexpr int kTempTries = 16;

#ifdef _WIN32

std::wstring WideName(const Text& name) {
  const Bytes units = TextToUtf16(name, kCodePageAnsi);
  std::wstring wide;
  for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
    const wchar_t unit = static_cast<wchar_t>(units[i] | (units[i + 1] << 8));
    if (unit == 0) break;
    wide += unit;
  }
  return wide;
}

struct HandleClose {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleClose>;

bool WriteAndFlush(HANDLE file, const Bytes& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const DWORD chunk = static_cast<DWORD>(
        std::min<std::size_t>(content.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, content.data() + done, chunk, &written, nullptr) ||
        written == 0) {
      return false;
    }
    done += written;
  }
  return FlushFileBuffers(file) != 0;
}

}  // namespace

bool ReplaceFileContents(const Text& path, const Bytes& content) {
  const std::wstring target = WideName(path);
  const std::size_t cut = target.find_last_of(L"\\/");
  const std::wstring directory =
      cut == std::wstring::npos ? L"." : target.substr(0, cut);
  for (int attempt = 0; attempt < kTempTries; ++attempt) {
    const std::string leaf = TempLeaf();
    const std::wstring temp =
        directory + L"\\" + std::wstring(leaf.begin(), leaf.end());
    // No sharing while it is written.
    HANDLE raw = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return false;
    }
    FileHandle file(raw);
    const bool written = WriteAndFlush(raw, content);
    file.reset();
    if (written &&
        MoveFileExW(temp.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    DeleteFileW(temp.c_str());
    return false;
  }
  return false;
}

#else  // POSIX

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  [[nodiscard]] int get() const { return fd_; }
  // Closes now and tells whether the close succeeded.
  [[nodiscard]] bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const Bytes& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t written =
        ::write(fd, content.data() + done, content.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// A link is followed to the file it names, as opening the path would.
std::string ResolvedTarget(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> real(
      ::realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}

void SyncDirectory(const std::string& directory) {
  const FileDescriptor dir(
      ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
}

}  // namespace

bool ReplaceFileContents(const Text& path, const Bytes& content) {
  const std::string target = ResolvedTarget(AnsiToUtf8(path));
  const std::size_t cut = target.find_last_of('/');
  const std::string directory = cut == std::string::npos ? "."
                                : cut == 0               ? "/"
                                           : target.substr(0, cut);
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && S_ISDIR(old.st_mode)) return false;
  // Renaming over a file needs only the folder's permission: a file that the
  // user may not write is refused here, as opening it for writing would be.
  if (existed && ::access(target.c_str(), W_OK) != 0) return false;

  for (int attempt = 0; attempt < kTempTries; ++attempt) {
    const std::string temp = directory + "/" + TempLeaf();
    FileDescriptor file(
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.get() < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    const bool written =
        (!existed || ::fchmod(file.get(), old.st_mode & 07777) == 0) &&
        WriteAll(file.get(), content) && ::fsync(file.get()) == 0;
    if (file.Close() && written &&
        ::rename(temp.c_str(), target.c_str()) == 0) {
      SyncDirectory(directory);
      return true;
    }
    ::unlink(temp.c_str());
    return false;
  }
  return false;
}

#endif
