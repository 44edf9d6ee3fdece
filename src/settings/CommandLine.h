#pragma once
// The program's own command-line switches: "/C path" opens a text capture
// file at start-up, "/F path" names the settings file. A switch is an
// argument that is '/' or '-' followed by a letter, in either case; its value
// is the rest of that argument after the letter or, when that is empty, the
// whole next argument (which may itself begin with '/'). Other switch letters
// are passed over, so the automation switches ("/REGSERVER", "-Automation",
// ...) reach their own handling unharmed. The program's own path (the first
// argument) is never scanned.

#include <cstddef>
#include <string>
#include <vector>

namespace quelp {

// Longest path the system accepts (PATH_MAX less its terminating NUL).
inline constexpr std::size_t kMaxPathChars = 4095;
inline constexpr const char* kDefaultSettingsPath = "./QUELP.INI";

struct CommandLineResult {
    std::string StartupCaptureFile;  // empty: none
    std::string SettingsPath = kDefaultSettingsPath;
    bool SettingsPathFromCommandLine = false;
};

// args[0] is the program's path. "/C" is passed over while a text capture
// file is already open. A value is cleaned by trimming blanks and deleting
// every '"'; an empty value, or one longer than a path can be, is ignored.
CommandLineResult ParseCommandLine(const std::vector<std::string>& args, bool captureFileOpen);

}  // namespace quelp
