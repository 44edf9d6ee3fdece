#pragma once
// The multi-channel decoder: after every block it finds the strongest peaks
// of the peak-hold spectrum in a band of 297 bins and hands them to five
// channel decoders, keeping a drifting signal on its channel; for every
// sample each active channel decodes on its own, into the scan grid row of
// its band of 8 bins. Independent of the signal tuned in the main window.

#include <array>
#include <cstdint>
#include <memory>

#include "decoder/CharacterTables.h"
#include "decoder/CwDecoder.h"
#include "decoder/DecoderSpeed.h"
#include "decoder/ScanWindow.h"
#include "dsp/Bins.h"
#include "dsp/DetectorLevels.h"
#include "dsp/SineTable.h"

namespace quelp {

class TFreqScan {
  public:
    static constexpr int kChannels = 5;
    static constexpr int kBandBins = 297;
    static constexpr int kSpectrumBins = kBlockSize;
    // Peaks closer than this to the previous accepted one belong to it; a
    // channel's signal may drift by less than this per block.
    static constexpr int kNeighbourBins = 9;
    static constexpr int kFreeBin = -3000;
    static constexpr int kPeakSlots = 6;
    static constexpr int kEmptyPeak = -100;

    struct PeakList {
        std::array<int, kPeakSlots> Position{};
        std::array<double, kPeakSlots> Level{};
        int LastPosition = -1000;
        double LastLevel = 1000.0;
    };

    // The squelch level (the peaks' floor), the main speed window, the
    // reuse switches and the character table in force are read as they
    // stand.
    TFreqScan(const SineTable& sine, const DetectorLevels& levels, const DecoderSpeed& speed,
              const ChannelReuse& reuse, CharacterTables& tables, const CharsetChoice& charset);
    TFreqScan(const TFreqScan&) = delete;
    TFreqScan& operator=(const TFreqScan&) = delete;

    // Once per block, before its samples: new peak list and channel
    // assignment in the band of 297 bins from scanStartBin.
    void ScanBlock(const std::array<double, kSpectrumBins>& spectrumPeak, int scanStartBin);
    // Once per raw input sample: every active channel, then a waterfall line
    // every 256 samples. The channels rest on the main window's fixed limit
    // only while its threshold is automatic (`autoThreshold`).
    void ScanSample(std::int16_t s, bool autoThreshold) {
        const bool manualFloor =
            reuse_.ReUseThresholdLimit != 0 && levels_.EnableManualLimit != 0 && autoThreshold;
        for (int c = 0; c < kChannels; ++c) {
            if (channelBin_[c] > 0) channels_[c]->Step(s, manualFloor);
        }
        if (++sampleCounter_ == 0) DrawWaterfallLine();
    }

    // The main filter code to every channel.
    void SetFilter(int code);
    // The burst filter length to every channel; each restarts its mixer phase.
    void SetBurstLength(std::int32_t samples);
    // The main lock window to every channel, only when the lock is on and the
    // channels are to reuse it.
    void ApplySpeedWindow();

    const PeakList& Peaks() const { return peaks_; }
    int ChannelBin(int c) const { return channelBin_[static_cast<size_t>(c)]; }
    TCwDecoder& Channel(int c) { return *channels_[static_cast<size_t>(c)]; }
    const TCwDecoder& Channel(int c) const { return *channels_[static_cast<size_t>(c)]; }
    // The band start of the last ScanBlock: the channels' bins, the grid rows
    // and the waterfall all count from it until the next block.
    int ScanStartBin() const { return scanStartBin_; }

    ScanWindow& Window() { return window_; }
    const ScanWindow& Window() const { return window_; }

    // One waterfall line from the channels' bins and levels.
    void DrawWaterfallLine();

  private:
    void FindPeaks(const std::array<double, kSpectrumBins>& spectrumPeak);
    void OfferPeak(int k, double v);
    void AssignChannels();
    void EmitChannelCharacter(const TCwDecoder& channel, std::uint32_t code);

    const DetectorLevels& levels_;
    const DecoderSpeed& speed_;
    const ChannelReuse& reuse_;
    CharacterTables& tables_;
    const CharsetChoice& charset_;
    std::array<std::unique_ptr<TCwDecoder>, kChannels> channels_;
    std::array<int, kChannels> channelBin_;
    PeakList peaks_;
    int scanStartBin_ = 40;
    std::uint8_t sampleCounter_ = 0;
    ScanWindow window_;
};

}  // namespace quelp
