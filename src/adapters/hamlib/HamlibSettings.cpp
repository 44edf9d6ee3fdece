#include "adapters/hamlib/HamlibSettings.h"

#include <system_error>

#include "settings/ProfileFile.h"
#include "settings/ProfileNumbers.h"

namespace quelp {

namespace {

constexpr std::array<const char*, 2> kSections = {"Rig1", "Rig2"};

void ReadInt(const ProfileFile& file, const char* section, const char* key, int& value) {
    int n = 0;
    if (ParseProfileInt(file.GetString(section, key, ""), n)) value = n;
}

}  // namespace

std::filesystem::path HamlibSettingsPath(const char* xdgConfigHome, const char* home) {
    // The desktop's rule for configuration folders: a relative XDG_CONFIG_HOME
    // is invalid and ignored.
    std::filesystem::path base;
    if (xdgConfigHome != nullptr && std::filesystem::path(xdgConfigHome).is_absolute()) {
        base = xdgConfigHome;
    } else if (home != nullptr && *home != '\0') {
        base = std::filesystem::path(home) / ".config";
    }
    return base.empty() ? std::filesystem::path("rigs.ini") : base / "quelp" / "rigs.ini";
}

HamlibSettings LoadHamlibSettings(const std::filesystem::path& file) {
    HamlibSettings settings;
    ProfileFile profile(file);
    if (profile.Load() != ProfileResult::Ok) return settings;
    for (std::size_t i = 0; i < kSections.size(); ++i) {
        HamlibRigSettings& rig = settings.Rigs[i];
        ReadInt(profile, kSections[i], "Model", rig.Model);
        rig.Port = profile.GetString(kSections[i], "Port", rig.Port);
        ReadInt(profile, kSections[i], "Speed", rig.Speed);
    }
    return settings;
}

bool SaveHamlibSettings(const std::filesystem::path& file, const HamlibSettings& settings) {
    std::error_code error;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), error);
    ProfileFile profile(file);
    // A file that exists but cannot be read is not overwritten.
    if (profile.Load() != ProfileResult::Ok) return false;
    for (std::size_t i = 0; i < kSections.size(); ++i) {
        const HamlibRigSettings& rig = settings.Rigs[i];
        profile.SetString(kSections[i], "Model", std::to_string(rig.Model));
        profile.SetString(kSections[i], "Port", rig.Port);
        profile.SetString(kSections[i], "Speed", std::to_string(rig.Speed));
    }
    return profile.Save() == ProfileResult::Ok;
}

}  // namespace quelp
