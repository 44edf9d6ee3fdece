#pragma once
// The default working directory: when the settings file is not found where
// the program starts, the folder named by "DefaultDir" in section "quelp" of
// the key file quelp/registry.ini under the user's configuration directory
// becomes the working directory, so that "./QUELP.INI" and every other
// relative path refer to it.

#include <filesystem>
#include <string>

#include "settings/CommandLine.h"

namespace quelp {

// The environment variables that locate the configuration directory; empty
// strings stand for unset ones.
struct SettingsEnvironment {
    std::string XdgConfigHome;
    std::string Home;

    static SettingsEnvironment FromProcess();
};

// $XDG_CONFIG_HOME/quelp/registry.ini, or ~/.config/quelp/registry.ini when
// XDG_CONFIG_HOME is unset, empty or relative; empty when neither is known.
std::filesystem::path DefaultDirKeyFile(const SettingsEnvironment& env);

// Does nothing when the settings path came from "/F" or names an existing
// file. Otherwise creates the key file's folder when absent and, if the key
// file holds "DefaultDir", changes the working directory to it. Returns the
// notice that replaces the receive text when the directory was changed, else
// an empty string.
std::string UseDefaultDirectory(const CommandLineResult& commandLine,
                                const SettingsEnvironment& env);

}  // namespace quelp
