#include "integration/ServerRegistration.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>

namespace quelp {

namespace {
constexpr const char* kServiceName = "org.quelp.QuelpX";

// The bus splits the command like a shell: a path with spaces or quotes
// is quoted.
std::string ExecWord(const std::string& path) {
    if (path.find_first_of(" \t\"'\\$`") == std::string::npos) return path;
    std::string quoted = "'";
    for (const char c : path) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}
}  // namespace

ServerSwitch FindServerSwitch(const std::vector<std::string>& args) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 2 || (a[0] != '-' && a[0] != '/')) continue;
        const std::string word = Upper(a.substr(1));
        if (word == "REGSERVER") return ServerSwitch::RegServer;
        if (word == "UNREGSERVER") return ServerSwitch::UnregServer;
        if (word == "AUTOMATION" || word == "EMBEDDING") return ServerSwitch::Automation;
    }
    return ServerSwitch::None;
}

std::filesystem::path UserServicesDir(const char* xdgDataHome, const char* home) {
    std::filesystem::path base;
    if (xdgDataHome != nullptr && *xdgDataHome != '\0') {
        base = xdgDataHome;
    } else if (home != nullptr && *home != '\0') {
        base = std::filesystem::path(home) / ".local" / "share";
    } else {
        return {};
    }
    return base / "dbus-1" / "services";
}

std::filesystem::path ServiceFilePath(const std::filesystem::path& dir) {
    return dir / (std::string(kServiceName) + ".service");
}

bool RegisterServer(const std::filesystem::path& dir, const std::filesystem::path& executable) {
    if (dir.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    // Written beside and renamed over, so the bus never reads half a file.
    const std::filesystem::path file = ServiceFilePath(dir);
    std::filesystem::path temp = file;
    temp += ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << "[D-BUS Service]\nName=" << kServiceName
            << "\nExec=" << ExecWord(executable.string()) << " /Automation\n";
        out.flush();
        if (!out) {
            std::filesystem::remove(temp, error);
            return false;
        }
    }
    std::filesystem::rename(temp, file, error);
    return !error;
}

bool UnregisterServer(const std::filesystem::path& dir) {
    if (dir.empty()) return true;
    std::error_code error;
    std::filesystem::remove(ServiceFilePath(dir), error);
    return !error;
}

}  // namespace quelp
