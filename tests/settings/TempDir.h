#pragma once
// Small file helpers for the settings tests, and the shared test folder.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "support/TempDir.h"

namespace quelp::test {

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Restores the working directory when a test that changes it ends.
class CurrentDirGuard {
  public:
    CurrentDirGuard() : saved_(std::filesystem::current_path()) {}
    ~CurrentDirGuard() {
        std::error_code ec;
        std::filesystem::current_path(saved_, ec);
    }
    CurrentDirGuard(const CurrentDirGuard&) = delete;
    CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

  private:
    std::filesystem::path saved_;
};

}  // namespace quelp::test
