#include "FileProblems.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "settings/ProfileFile.h"

namespace quelp::cli {

namespace {

namespace fs = std::filesystem;

std::string SystemReason(int error) {
    std::string text = std::strerror(error);
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

// Opening without blocking, so that a FIFO or a device never hangs the
// question; 0 when the file opens.
int OpenError(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

bool LooksLikeWave(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    char head[12] = {};
    const ssize_t n = ::read(fd, head, sizeof head);
    ::close(fd);
    return n == 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
}

}  // namespace

std::string DescribeFileProblem(const std::string& path, FileUse use, bool recording) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (st.type() == fs::file_type::not_found) {
        if (use == FileUse::Read) return "no such file";
        const fs::path folder = fs::path(path).parent_path();
        if (!folder.empty() && !fs::is_directory(folder, ec)) return "no such folder";
        const int error = OpenError(folder.empty() ? "." : folder.string(), O_RDONLY);
        if (error != 0) return SystemReason(error);
        return ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0 ? std::string()
                                                                          : SystemReason(EACCES);
    }
    if (ec) return SystemReason(ec.value());
    if (fs::is_directory(st)) return "is a directory";
    if (!fs::is_regular_file(st)) return "not a regular file";
    if (const int error = OpenError(path, use == FileUse::Read ? O_RDONLY : O_WRONLY | O_APPEND)) {
        return SystemReason(error);
    }
    if (recording && !LooksLikeWave(path)) return "not a WAV file";
    return {};
}

std::string SettingsFileProblem(const std::string& path) {
    ProfileFile file(path);
    const ProfileResult result = file.Load();
    if (result == ProfileResult::Ok && file.Exists()) return {};
    if (!file.Exists()) return "no such file";
    if (result == ProfileResult::TooLarge) return "larger than 16 MiB";
    const std::string reason = DescribeFileProblem(path, FileUse::Read, false);
    return reason.empty() ? "cannot be read" : reason;
}

std::string RefusedSettingsFile(const CliOptions& o) {
    if (!o.settingsFile) return {};
    const std::string problem = SettingsFileProblem(*o.settingsFile);
    if (problem.empty()) return {};
    if (problem == "no such file") {
        if (o.settingsFile == o.saveSettingsFile) return {};
        return "settings file " + *o.settingsFile + " not found";
    }
    return "settings file " + *o.settingsFile + " cannot be read (" + problem + ")";
}

}  // namespace quelp::cli
