#include "settings/CommandLine.h"

#include <algorithm>
#include <string_view>

namespace quelp {

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string CleanValue(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    s = s.substr(first, s.find_last_not_of(" \t") - first + 1);
    std::string out(s);
    std::erase(out, '"');
    return out;
}

}  // namespace

CommandLineResult ParseCommandLine(const std::vector<std::string>& args, bool captureFileOpen) {
    CommandLineResult result;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-') || !IsAsciiLetter(arg[1])) continue;
        const char letter = static_cast<char>(arg[1] | 0x20);
        if (letter != 'c' && letter != 'f') continue;
        std::string value = CleanValue(std::string_view(arg).substr(2));
        // The next argument is the value even when "/C" is passed over, so
        // that a path such as "/files/x.txt" is never read as a switch.
        if (value.empty() && i + 1 < args.size()) value = CleanValue(args[++i]);
        // A NUL would silently cut the path where the system reads it.
        if (value.empty() || value.size() > kMaxPathChars ||
            value.find('\0') != std::string::npos) {
            continue;
        }
        if (letter == 'c') {
            if (!captureFileOpen) result.StartupCaptureFile = std::move(value);
        } else {
            result.SettingsPath = std::move(value);
            result.SettingsPathFromCommandLine = true;
        }
    }
    return result;
}

}  // namespace quelp
