// Temporary folders for tests, and reading a file back whole.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

// A fresh directory under the system's temporary folder, removed with all
// it holds when the object ends. path() is empty when none could be made.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::string& prefix = "finder-test") {
    std::string pattern =
        (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX"))
            .string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

  // The names in the directory, sorted, to see that nothing was left behind.
  [[nodiscard]] std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(path_)) {
      names.push_back(std::filesystem::relative(entry.path(), path_).string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

// The bytes of a file; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
