#pragma once
// The automation server's start-up switches and its registration: a bus
// activation file that lets a client's first call start the program.

#include <filesystem>
#include <string>
#include <vector>

namespace quelp {

enum class ServerSwitch {
    None,         // register, then run and serve
    RegServer,    // register and end
    UnregServer,  // remove the registration and end
    Automation,   // started for a client: run and serve, end with the last client
};

// The first server switch among `args` (the program's path first is not
// one): "-" or "/" and the word, in any letter case.
ServerSwitch FindServerSwitch(const std::vector<std::string>& args);

// The user's folder of bus activation files: $XDG_DATA_HOME/dbus-1/services,
// by default ~/.local/share/dbus-1/services. Empty when neither is known.
std::filesystem::path UserServicesDir(const char* xdgDataHome, const char* home);

// Writes the activation file of the server's name in `dir` (created when
// missing), starting `executable` with " /Automation"; false when it cannot
// be written.
bool RegisterServer(const std::filesystem::path& dir, const std::filesystem::path& executable);
// Removes it; true when it is gone (or was never there).
bool UnregisterServer(const std::filesystem::path& dir);
// The activation file's path in `dir`.
std::filesystem::path ServiceFilePath(const std::filesystem::path& dir);

}  // namespace quelp
