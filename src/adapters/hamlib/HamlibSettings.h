#pragma once
// The rig-control server's own settings: for rig 1 and rig 2, which Hamlib
// model drives it and where it is (a serial device and its speed, or for
// the network model a rigctld at host:port). They live in a file of their
// own, "rigs.ini" under the user's configuration folder, and take effect at
// the next connect. Plain values: the setup window edits them without Hamlib.

#include <array>
#include <filesystem>
#include <string>

namespace quelp {

struct HamlibRigSettings {
    int Model = 1;     // Hamlib's model number; 1 is its dummy rig, 2 a rigctld
    std::string Port;  // device path, or host:port for a rigctld; empty: the model's default
    int Speed = 0;     // serial speed in baud; 0: the model's default

    bool operator==(const HamlibRigSettings&) const = default;
};

struct HamlibSettings {
    std::array<HamlibRigSettings, 2> Rigs;  // rig 1, rig 2

    bool operator==(const HamlibSettings&) const = default;
};

// One entry of Hamlib's list of rigs, for the setup window.
struct HamlibModel {
    int Model = 0;
    std::string Maker;
    std::string Name;
    bool Network = false;  // reached at host:port rather than a device
};

// Hamlib's model number of its network client, which talks to a rigctld.
inline constexpr int kHamlibNetworkModel = 2;

// $XDG_CONFIG_HOME/quelp/rigs.ini, else $HOME/.config/quelp/rigs.ini, else
// rigs.ini in the working folder (arguments: the variables, or null).
std::filesystem::path HamlibSettingsPath(const char* xdgConfigHome, const char* home);

// A missing or unreadable file, or a value that is not a number, leaves the
// built-in value.
HamlibSettings LoadHamlibSettings(const std::filesystem::path& file);
// Creates the folder when needed; false when the file could not be written.
bool SaveHamlibSettings(const std::filesystem::path& file, const HamlibSettings& settings);

}  // namespace quelp
