#include "app/SetupDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ports/SoundDriver.h"

namespace quelp::setup {

namespace {
// Beyond any sound card: a typed 1e300 would make every conversion between
// samples, hertz and bins meaningless (the settings file refuses it too).
constexpr double kMaxRate = 1000000.0;
}  // namespace

std::vector<std::string> DeviceList(SoundDriver* driver) {
    std::vector<std::string> list;
    list.reserve(kDeviceNumbers + 1);
    list.emplace_back("DEFAULT");
    for (int n = 0; n < kDeviceNumbers; ++n) list.push_back(std::to_string(n) + "  ");
    if (driver == nullptr) return list;
    const int count = std::min(driver->DeviceCount(), kDeviceNumbers);
    for (int n = 0; n < count; ++n) {
        std::string name;
        if (driver->ProductName(n, name)) list[static_cast<std::size_t>(n) + 1] += name;
    }
    return list;
}

int DeviceEntry(int soundCardNumber) {
    if (soundCardNumber == -1) return 0;
    if (soundCardNumber >= 0 && soundCardNumber + 1 < kDeviceNumbers + 1) {
        return soundCardNumber + 1;
    }
    return -1;
}

std::string FormatSamplingRate(double rate) {
    char text[64];
    std::snprintf(text, sizeof text, "%08.2f", rate);
    return text;
}

std::optional<double> ParseSamplingRate(std::string_view text) {
    std::string s(text);
    std::replace(s.begin(), s.end(), ',', '.');
    // Blanks around the number are no part of it.
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    const std::size_t last = s.find_last_not_of(" \t");
    s = s.substr(first, last - first + 1);
    // Digits, one point and a sign only: no hexadecimal, no "inf" or "nan".
    if (s.find_first_not_of("0123456789.+-eE") != std::string::npos) return std::nullopt;
    char* end = nullptr;
    const double rate = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size()) return std::nullopt;
    if (!(rate >= kMinRate && rate <= kMaxRate)) return std::nullopt;
    return rate;
}

std::optional<int> PageOfAutomation(int page) {
    if (page >= 1 && page <= kPages) return page - 1;
    return std::nullopt;
}

std::vector<Point> SpectrumSampleCurve(int h, double factor) {
    std::vector<Point> points;
    points.push_back({78, h - 1});
    for (int i = 1; i <= 50; ++i) {
        const double y = h - 1 - (1.0 - std::cos(0.12566 * i)) * factor * h;
        points.push_back({78 + i, static_cast<int>(y)});
    }
    return points;
}

std::vector<Segment> SpectrumSampleRxMarks(int w, int h) {
    return {
        {{103, h - 1}, {103, 0}},
        {{113, h - 1}, {113, 2 * h / 3}},
        {{0, 4 * h / 5}, {w, 4 * h / 5}},
    };
}

Segment SpectrumSampleTxMark(int h) {
    return {{90, h - 1}, {90, h - h / 4}};
}

std::vector<Point> OscSampleSignal(int w, int h) {
    std::vector<Point> points;
    points.push_back({0, h / 2});
    for (int x = 1; x <= w; ++x) {
        const double y = h / 2.0 - 0.25 * h * std::sin(0.25644897959183677 * x);
        points.push_back({x, static_cast<int>(y)});
    }
    return points;
}

Segment OscSampleThreshold(int w, int h) {
    return {{0, h / 2}, {w, h / 2}};
}

}  // namespace quelp::setup
