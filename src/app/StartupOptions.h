#pragma once
// Where the start-up takes its settings from. The window reads its command
// line ("/F" settings path, "/C" capture file) and may move to the default
// directory when no settings file is found; the command-line decoder does
// neither: it never changes the working directory and reads a settings file
// only when one is named.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "settings/DefaultDirectory.h"

namespace quelp {

struct StartupOptions {
    // The window's way: "/F", "/C" and the default directory.
    bool UseCommandLine = true;
    // With UseCommandLine: the program's arguments, its own path first.
    std::vector<std::string> Args;
    // With UseCommandLine: where the default-directory key file is found.
    SettingsEnvironment Environment;

    // Without UseCommandLine: the settings file to read (empty: none, every
    // setting keeps its built-in value) and a text capture file to open at
    // start-up (empty: none).
    std::string SettingsFile;
    std::string CaptureFile;

    // Runs once the settings are in force, just before the sound devices
    // open: the command-line decoder applies its own options there, so they
    // win over the settings file and choose the devices. False: the devices
    // stay closed (the options were refused).
    std::function<bool()> BeforeDevices;

    // The window: its command line, the environment of this process.
    static StartupOptions ForWindow(std::vector<std::string> args) {
        StartupOptions o;
        o.Args = std::move(args);
        o.Environment = SettingsEnvironment::FromProcess();
        return o;
    }
    // The command-line decoder: a settings file only when given.
    static StartupOptions ForDecoder(std::string settingsFile, std::string captureFile = {}) {
        StartupOptions o;
        o.UseCommandLine = false;
        o.SettingsFile = std::move(settingsFile);
        o.CaptureFile = std::move(captureFile);
        return o;
    }
};

}  // namespace quelp
