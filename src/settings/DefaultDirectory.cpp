#include "settings/DefaultDirectory.h"

#include <cstdlib>
#include <system_error>

#include "settings/ProfileFile.h"

namespace quelp {

namespace fs = std::filesystem;

SettingsEnvironment SettingsEnvironment::FromProcess() {
    SettingsEnvironment env;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) env.XdgConfigHome = xdg;
    if (const char* home = std::getenv("HOME")) env.Home = home;
    return env;
}

fs::path DefaultDirKeyFile(const SettingsEnvironment& env) {
    fs::path config;
    if (!env.XdgConfigHome.empty() && fs::path(env.XdgConfigHome).is_absolute()) {
        config = env.XdgConfigHome;
    } else if (!env.Home.empty()) {
        config = fs::path(env.Home) / ".config";
    } else {
        return {};
    }
    return config / "quelp" / "registry.ini";
}

std::string UseDefaultDirectory(const CommandLineResult& commandLine,
                                const SettingsEnvironment& env) {
    if (commandLine.SettingsPathFromCommandLine) return {};
    std::error_code ec;
    if (fs::exists(commandLine.SettingsPath, ec)) return {};
    const fs::path keyFile = DefaultDirKeyFile(env);
    if (keyFile.empty()) return {};
    fs::create_directories(keyFile.parent_path(), ec);

    ProfileFile key(keyFile);
    // A key file that is missing or cannot be read names no directory: the
    // program stays where it started.
    static_cast<void>(key.Load());
    if (!key.HasKey("quelp", "DefaultDir")) return {};
    const std::string dir = key.GetString("quelp", "DefaultDir", "");

    const fs::path oldDir = fs::current_path(ec);
    if (ec || dir.empty()) return {};
    fs::current_path(dir, ec);
    if (ec) return {};
    const fs::path newDir = fs::current_path(ec);
    return "QUELP.INI file was not found in a working directory\r\n" + oldDir.string() +
           "\r\nWorking directory was changed to default directory\r\n" +
           (ec ? dir : newDir.string()) + "\r\n";
}

}  // namespace quelp
