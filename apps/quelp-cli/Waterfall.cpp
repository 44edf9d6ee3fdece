#include "Waterfall.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

#include "decoder/ScanWindow.h"

namespace quelp::cli {

namespace {

constexpr Rgb kMargin{24, 24, 28};
constexpr Rgb kInk{215, 215, 215};
constexpr Rgb kMarkColour{255, 255, 255};

// Pixels beside the signal where the receive frequency is marked: a dashed
// line on either side (two rows on, two off), clear of the few bins a keyed
// signal spreads over, so the signal itself and the band around it stay
// visible.
constexpr int kMarkNear = 4;
constexpr int kMarkFar = 5;
constexpr int kMarkDash = 2;

// A 5 x 7 font of what the axes need, a row of five bits per line.
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kAdvance = kGlyphWidth + 1;

const std::map<char, std::array<std::uint8_t, kGlyphHeight>>& Font() {
    static const std::map<char, std::array<std::uint8_t, kGlyphHeight>> font = {
        {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
        {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
        {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
        {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
        {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
        {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
        {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
        {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
        {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
        {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
        {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
        {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        {'z', {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F}},
    };
    return font;
}

class Canvas {
  public:
    Canvas(int width, int height, Rgb fill) : width_(width), height_(height) {
        pixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
        for (std::size_t at = 0; at < pixels_.size(); at += 3) {
            pixels_[at] = fill.r;
            pixels_[at + 1] = fill.g;
            pixels_[at + 2] = fill.b;
        }
    }

    void Set(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                                static_cast<std::size_t>(x)) *
                               3;
        pixels_[at] = c.r;
        pixels_[at + 1] = c.g;
        pixels_[at + 2] = c.b;
    }

    // Text with its top left corner at (x, y).
    void Text(int x, int y, const std::string& text, Rgb c) {
        for (const char ch : text) {
            const auto glyph = Font().find(ch);
            if (glyph != Font().end()) {
                for (int row = 0; row < kGlyphHeight; ++row) {
                    for (int col = 0; col < kGlyphWidth; ++col) {
                        if ((glyph->second[static_cast<std::size_t>(row)] >>
                             (kGlyphWidth - 1 - col)) &
                            1) {
                            Set(x + col, y + row, c);
                        }
                    }
                }
            }
            x += kAdvance;
        }
    }

    Picture Take() { return {width_, height_, std::move(pixels_)}; }

  private:
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};

int TextWidth(const std::string& text) {
    return static_cast<int>(text.size()) * kAdvance - 1;
}

std::string TimeLabel(int seconds) {
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    }
    return text;
}

// The colour of a level 0..255, as the multi-channel window colours a trace
// of that fraction of full scale.
std::array<Rgb, 256> Palette() {
    std::array<Rgb, 256> colours{};
    for (int i = 0; i < 256; ++i) {
        const double f = i / 255.0;
        colours[static_cast<std::size_t>(i)] =
            HslToRgb(ScanWindow::kBackgroundLightness + ScanWindow::kLightnessPerLevel * f,
                     ScanWindow::kBackgroundSaturation + ScanWindow::kSaturationPerLevel * f,
                     ScanWindow::kBackgroundHue + ScanWindow::kHuePerLevel * f);
    }
    return colours;
}

}  // namespace

Waterfall::Waterfall(int maxRows) : maxRows_(std::max(2, maxRows - maxRows % 2)) {}

void Waterfall::AddBlock(const std::array<double, kBlockSize>& spectrum, int receiveBin) {
    if (inRow_ == 0) {
        if (Rows() == maxRows_) Halve();
        levels_.resize(levels_.size() + kBins, 0);
        marks_.push_back(receiveBin);
    }
    std::uint8_t* row = levels_.data() + levels_.size() - kBins;
    for (int k = 0; k < kBins; ++k) {
        const double level = spectrum[static_cast<std::size_t>(kFirstBin + k)] / kFullScale;
        const int y = WaterfallLevelY(level);  // 0 at full scale .. 9999
        const auto byte = static_cast<std::uint8_t>(std::lround((9999 - y) * 255.0 / 9999.0));
        row[k] = std::max(row[k], byte);
    }
    marks_.back() = receiveBin;
    if (++inRow_ == blocksPerRow_) inRow_ = 0;
}

void Waterfall::Halve() {
    const int rows = Rows();
    for (int r = 0; r < rows / 2; ++r) {
        const std::uint8_t* a = levels_.data() + static_cast<std::size_t>(2 * r) * kBins;
        const std::uint8_t* b = a + kBins;
        std::uint8_t* out = levels_.data() + static_cast<std::size_t>(r) * kBins;
        for (int k = 0; k < kBins; ++k) out[k] = std::max(a[k], b[k]);
        marks_[static_cast<std::size_t>(r)] = marks_[static_cast<std::size_t>(2 * r + 1)];
    }
    levels_.resize(static_cast<std::size_t>(rows / 2) * kBins);
    marks_.resize(static_cast<std::size_t>(rows / 2));
    blocksPerRow_ *= 2;
}

std::uint8_t Waterfall::Level(int row, int bin) const {
    return levels_[static_cast<std::size_t>(row) * kBins +
                   static_cast<std::size_t>(bin - kFirstBin)];
}

Picture Waterfall::Render(double secondsPerBlock, double samplingFreq) const {
    const int rows = std::max(1, Rows());
    const double secondsPerRow = secondsPerBlock * blocksPerRow_;
    const double seconds = Rows() * secondsPerRow;
    // Time labels at least 24 rows apart, on a round number of seconds.
    int step = 3600;
    for (const int s : {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600}) {
        if (s / secondsPerRow >= 24.0) {
            step = s;
            break;
        }
    }
    const int left = TextWidth(TimeLabel(static_cast<int>(seconds))) + 8;
    const int top = kGlyphHeight + 6;
    // A few pixels right of the band, so the last label does not touch the
    // edge.
    constexpr int kRight = 4;
    Canvas canvas(left + kBins + kRight, top + rows, kMargin);

    // The spectrum and the receive frequency.
    static const std::array<Rgb, 256> palette = Palette();
    for (int r = 0; r < Rows(); ++r) {
        for (int k = 0; k < kBins; ++k) {
            canvas.Set(left + k, top + r, palette[Level(r, kFirstBin + k)]);
        }
        if (r / kMarkDash % 2 != 0) continue;
        const int x = left + Mark(r) - kFirstBin;
        for (int d = kMarkNear; d <= kMarkFar; ++d) {
            if (x - d >= left) canvas.Set(x - d, top + r, kMarkColour);
            if (x + d < left + kBins) canvas.Set(x + d, top + r, kMarkColour);
        }
    }

    // The frequency axis: a tick every 250 Hz, a label every 500 Hz.
    canvas.Text(1, 1, "Hz", kInk);
    for (int hz = 250; hz <= BinToHz(kLastBin, samplingFreq); hz += 250) {
        const int bin = HzToBin(hz, samplingFreq);
        if (bin < kFirstBin) continue;
        const int x = left + bin - kFirstBin;
        const bool labelled = hz % 500 == 0;
        for (int y = top - (labelled ? 4 : 2); y < top; ++y) canvas.Set(x, y, kInk);
        if (!labelled) continue;
        const std::string label = std::to_string(hz);
        const int at = std::clamp(x - TextWidth(label) / 2, left,
                                  left + kBins + kRight - 1 - TextWidth(label));
        canvas.Text(at, 1, label, kInk);
    }

    // The time axis.
    for (int t = 0; t <= static_cast<int>(seconds); t += step) {
        const int y = top + static_cast<int>(std::lround(t / secondsPerRow));
        if (y >= top + rows) break;
        for (int x = left - 4; x < left; ++x) canvas.Set(x, y, kInk);
        const std::string label = TimeLabel(t);
        const int at = std::clamp(y - kGlyphHeight / 2, top, top + rows - kGlyphHeight);
        canvas.Text(left - 6 - TextWidth(label), at, label, kInk);
    }
    return canvas.Take();
}

std::vector<std::string> WaterfallPaths(const std::string& path,
                                        const std::vector<std::string>& recordings) {
    if (recordings.size() == 1) return {path};
    namespace fs = std::filesystem;
    const fs::path base(path);
    std::vector<std::string> names;
    std::map<std::string, int> uses;
    for (const std::string& r : recordings) {
        const std::string stem = r == "-" ? "stdin" : fs::path(r).stem().string();
        names.push_back(stem);
        ++uses[stem];
    }
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < names.size(); ++i) {
        // Appended piece by piece: GCC 12 at -O2 and above sees a bogus
        // overlap (-Wrestrict) in `"literal" + std::string`.
        std::string name = base.stem().string();
        name += '-';
        name += names[i];
        if (uses[names[i]] > 1) {
            name += '-';
            name += std::to_string(i + 1);
        }
        paths.push_back((base.parent_path() / (name + base.extension().string())).string());
    }
    return paths;
}

}  // namespace quelp::cli
