#include "decoder/FreqScan.h"

#include <algorithm>
#include <cstdlib>

namespace quelp {

TFreqScan::TFreqScan(const SineTable& sine, const DetectorLevels& levels, const DecoderSpeed& speed,
                     const ChannelReuse& reuse, CharacterTables& tables,
                     const CharsetChoice& charset)
    : levels_(levels), speed_(speed), reuse_(reuse), tables_(tables), charset_(charset) {
    for (auto& c : channels_) {
        c = std::make_unique<TCwDecoder>(sine, levels, speed, reuse);
        c->EmitChannelCharacter = [this](const TCwDecoder& channel, std::uint32_t code) {
            EmitChannelCharacter(channel, code);
        };
    }
    channelBin_.fill(kFreeBin);
    for (int i = 0; i < kPeakSlots; ++i) {
        peaks_.Position[i] = kEmptyPeak;
        peaks_.Level[i] = -1.0 - i;
    }
}

void TFreqScan::ScanBlock(const std::array<double, kSpectrumBins>& spectrumPeak, int scanStartBin) {
    scanStartBin_ = scanStartBin;
    FindPeaks(spectrumPeak);
    AssignChannels();
    for (int c = 0; c < kChannels; ++c) {
        if (channelBin_[c] > 0) channels_[c]->PhaseStep = 16 * channelBin_[c];
    }
}

void TFreqScan::FindPeaks(const std::array<double, kSpectrumBins>& spectrumPeak) {
    for (int i = 0; i < kPeakSlots; ++i) {
        peaks_.Position[i] = kEmptyPeak;
        peaks_.Level[i] = -1.0 - i;
    }
    peaks_.LastPosition = -1000;
    peaks_.LastLevel = 1000.0;
    // Each bin is compared with both neighbours, so the band is kept inside
    // the spectrum whatever start the caller hands in.
    const int first = std::max(scanStartBin_, 1);
    const int last = static_cast<int>(std::min<long long>(
        static_cast<long long>(scanStartBin_) + kBandBins - 1, kSpectrumBins - 2));
    const double squelch = levels_.SquelchThreshold;
    for (int k = first; k <= last; ++k) {
        const double v = spectrumPeak[static_cast<size_t>(k)];
        if (v > squelch && v >= spectrumPeak[static_cast<size_t>(k - 1)] &&
            v >= spectrumPeak[static_cast<size_t>(k + 1)]) {
            OfferPeak(k, v);
        }
    }
}

void TFreqScan::OfferPeak(int k, double v) {
    auto& pos = peaks_.Position;
    auto& level = peaks_.Level;
    if (k - peaks_.LastPosition < kNeighbourBins) {
        // A neighbour of the previous accepted peak replaces it only when it
        // is stronger.
        if (!(v > peaks_.LastLevel)) return;
        int at = -1;
        for (int i = 0; i < kChannels; ++i) {
            if (pos[i] == peaks_.LastPosition) {
                at = i;
                break;
            }
        }
        if (at < 0) return;
        for (int i = at; i < kChannels; ++i) {
            pos[i] = pos[i + 1];
            level[i] = level[i + 1];
        }
    }
    if (!(v > level[kChannels - 1])) return;
    int i = 0;
    while (!(v > level[i])) ++i;  // ends at 4 at the latest
    for (int j = kChannels - 1; j > i; --j) {
        pos[j] = pos[j - 1];
        level[j] = level[j - 1];
    }
    pos[i] = k;
    level[i] = v;
    peaks_.LastPosition = k;
    peaks_.LastLevel = v;
}

void TFreqScan::AssignChannels() {
    // Taken channels get a mark far from every bin; free ones keep -3000,
    // which only the second pass (old bin below 1000) accepts.
    constexpr int kTaken = 100000;
    std::array<int, kChannels> old = channelBin_;
    channelBin_.fill(kFreeBin);
    std::array<bool, kChannels> consumed{};

    const auto nearest = [&old](int b, bool unmatchedOnly) {
        int best = -1;
        int bestDistance = 0;
        for (int c = 0; c < kChannels; ++c) {
            if (unmatchedOnly && old[c] >= 1000) continue;
            const int d = std::abs(old[c] - b);
            if (best < 0 || d < bestDistance) {
                best = c;
                bestDistance = d;
            }
        }
        return std::pair{best, bestDistance};
    };

    for (int i = 0; i < kChannels; ++i) {
        const int b = peaks_.Position[i];
        if (b <= 0) continue;
        const auto [c, d] = nearest(b, false);
        if (d < kNeighbourBins) {
            channelBin_[c] = b;
            old[c] = kTaken;
            consumed[i] = true;
        }
    }
    for (int i = 0; i < kChannels; ++i) {
        const int b = peaks_.Position[i];
        if (b <= 0 || consumed[i]) continue;
        const auto [c, d] = nearest(b, true);
        if (c < 0) continue;
        channelBin_[c] = b;
        old[c] = kTaken;
    }
}

void TFreqScan::SetFilter(int code) {
    for (auto& c : channels_) c->SetFilter(code);
}

void TFreqScan::SetBurstLength(std::int32_t samples) {
    for (auto& c : channels_) c->SetBurstLength(samples);
}

void TFreqScan::ApplySpeedWindow() {
    if (speed_.SpeedLocked == 0 || reuse_.ReUseSpeedLimits == 0) return;
    for (auto& c : channels_) c->ApplySpeedWindow(speed_.LowerDotLimit, speed_.UpperDotLimit);
}

void TFreqScan::EmitChannelCharacter(const TCwDecoder& channel, std::uint32_t code) {
    // The band start is the one the channel was assigned in, so the row is
    // always a grid row; the grid still puts any stray row at its edge.
    const long long row =
        (channel.PhaseStep / 16 - static_cast<long long>(scanStartBin_)) / ScanWindow::kBinsPerRow;
    window_.AppendToRow(static_cast<int>(std::clamp<long long>(row, -1, ScanWindow::kRows)),
                        tables_.LookupCharacter(code, charset_.Charset));
}

void TFreqScan::DrawWaterfallLine() {
    std::array<ScanWindow::Trace, kChannels> traces;
    for (int c = 0; c < kChannels; ++c) traces[c] = {channelBin_[c], channels_[c]->Level};
    window_.DrawWaterfallLine(traces, scanStartBin_);
}

}  // namespace quelp
