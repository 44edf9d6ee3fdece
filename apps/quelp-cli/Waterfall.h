#pragma once
// --waterfall: a picture of a recording's spectrum over time. Every block
// the receiver takes adds a row of its smoothed spectrum (time runs
// downwards, the tunable band across), coloured as the multi-channel window
// colours its traces; the receive frequency is marked beside the signal on
// every row, with a frequency axis on top and a time axis on the left. A long
// recording merges neighbouring rows (keeping the stronger level), so the
// picture and the memory it takes stay bounded.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dsp/Bins.h"

namespace quelp::cli {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // rows top down, 3 bytes a pixel
};

class Waterfall {
  public:
    static constexpr int kBins = kLastBin - kFirstBin + 1;
    // A block's spectrum reads about 4.0 for a full-scale sine.
    static constexpr double kFullScale = 4.0;
    // At most this many rows (an even number); an hour of blocks is 19380.
    static constexpr int kMaxRows = 8192;

    explicit Waterfall(int maxRows = kMaxRows);

    // One block: its smoothed spectrum (all kBlockSize bins, those of the
    // band are used) and the receive frequency's bin.
    void AddBlock(const std::array<double, kBlockSize>& spectrum, int receiveBin);

    int Rows() const { return static_cast<int>(marks_.size()); }
    int BlocksPerRow() const { return blocksPerRow_; }
    // Level of a row at a band bin, 0 (50 dB below full scale or weaker) to
    // 255 (full scale).
    std::uint8_t Level(int row, int bin) const;
    int Mark(int row) const { return marks_[static_cast<std::size_t>(row)]; }

    // The picture; `secondsPerBlock` and `samplingFreq` label the axes.
    Picture Render(double secondsPerBlock, double samplingFreq) const;

  private:
    void Halve();

    int maxRows_;
    int blocksPerRow_ = 1;
    int inRow_ = 0;  // blocks in the last row so far
    std::vector<std::uint8_t> levels_;
    std::vector<int> marks_;
};

// The picture's name for each recording: `path` itself for one; for several,
// the recording's name appended, "wf.png" -> "wf-qso.png" ("wf-stdin.png"
// for standard input), with the recording's place on the command line added
// where two names would be the same.
std::vector<std::string> WaterfallPaths(const std::string& path,
                                        const std::vector<std::string>& recordings);

}  // namespace quelp::cli
