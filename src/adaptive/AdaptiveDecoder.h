#pragma once
// The adaptive decoder: an operator's alternative to the main decoder for
// fading, weak and crowded signals. It takes the raw input samples, picks
// its own frequency and speed, and decodes through a matched low-pass, mark
// and noise levels tracked separately, a timing model searched by Viterbi
// and gap lengths judged against their measured distributions.
//
// Nothing is printed from the first seconds until the frequency, the speed,
// the levels and the gap lengths have settled on them; then those seconds
// are decoded again from their start with the settled estimates, so the
// first word comes late rather than wrong. After a pause between overs the
// next over is held the same way until its speed is measured: an answer at
// another speed is decoded at its own. A squelch relative to the measured
// noise keeps band noise from printing.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "adaptive/KeyLevels.h"
#include "adaptive/KeyingFrontEnd.h"
#include "adaptive/KeyingViterbi.h"
#include "adaptive/MorseTiming.h"
#include "decoder/MainDecoder.h"
#include "dsp/Fft.h"

namespace quelp {

struct AdaptiveSettings {
    // The tone to decode; none: the strongest steady signal in the band.
    std::optional<double> frequencyHz;
    // How far the tracking may pull away from a given frequency.
    double afcLimitHz = 50.0;
    // Characters print only while the tone stands this far above the noise
    // floor of the band, both measured in a 5 Hz band over about 3 s.
    double squelchDb = 5.5;
};

// The squelch levels an operator may set: from printing whatever is keyed
// to a tone far over any band's noise.
inline constexpr double kMinSquelchDb = 0.0;
inline constexpr double kMaxSquelchDb = 40.0;

// Where and how a character was heard: its first mark's start and its last
// mark's end, in samples of the decoder's input since it was made, and the
// frequency and speed the decoder held then.
struct AdaptiveCharacter {
    std::int64_t firstSample = 0;
    std::int64_t endSample = 0;
    double frequencyHz = 0.0;
    double wpm = 0.0;
};

class AdaptiveDecoder final : private MorseTimingSink {
  public:
    // Seconds of input looked at before anything is printed.
    static constexpr double kSettleSeconds = 6.0;
    // Half a step of 16-bit audio: below it a sample is digital silence.
    static constexpr double kSilentSample = 1.0 / 65536.0;

    AdaptiveDecoder(double sampleRate, DecoderEvents& events);

    // Applies from the next input on; a new frequency starts a new settling.
    void Configure(const AdaptiveSettings& settings);
    const AdaptiveSettings& Settings() const { return settings_; }

    // One input sample, 1.0 full scale.
    void Sample(double x);
    // The input ended: what is still held back is decoded and printed.
    void Finish();
    // Forgets the signal: the next input settles anew.
    void Restart();

    // The character being handed over, while CharacterDecoded runs (and
    // the last one after).
    const AdaptiveCharacter& LastCharacter() const { return last_; }
    // Input samples taken since the decoder was made.
    std::int64_t SamplesIn() const { return samplesIn_; }

    double FrequencyHz() const { return front_.Frequency(); }
    double Wpm() const { return 1.2 / timing_.Estimates().Unit(); }
    double SnrDb() const { return levels_.SnrDb(); }
    // The tone over the noise floor, in dB, as the squelch judges it.
    double ToneOverFloorDb() const;

  private:
    void TimedCharacter(std::uint32_t code, std::int64_t first, std::int64_t end) override;
    void TimedWordSpace() override;
    bool Audible() const override;

    void Settle();
    double PickFrequency() const;
    double EstimateUnit();
    double ConvergeUnit(double unit, double& score);
    // The held seconds through a low-pass for `unit`: the lengths of the
    // marks and of the gaps between them.
    void Look(double unit, std::vector<double>& marks, std::vector<double>& gaps);
    void StartSearch(double unit, const MorseTimingEstimates& timing);
    // Decodes the held seconds twice from a first guess: silently, for the
    // gap lengths and the levels to settle, then printing.
    // `watch`: the squelch has not looked at them yet.
    void DecodeHeld(double unit, const MorseTimingEstimates& guess, bool watch);
    // Runs the held seconds muted from a first guess; the timing settled on them.
    MorseTimingEstimates SilentPass(const std::vector<float>& held, double unit,
                                    const MorseTimingEstimates& guess, bool watch);
    // A pause between overs: the next over is held until its speed is
    // measured, and decoded with it.
    double PauseSeconds() const;
    void BeginHold();
    void Hold(double x);
    void EndHold();
    // One input sample, the `index`th since the decoder was made; `watch`:
    // the squelch has not looked at it yet.
    void Run(double x, std::int64_t index, bool watch);
    // A frame of both low-passes, `frame` the matched one's and `sharp`.
    void Frame(std::complex<double> frame, std::complex<double> sharp);
    struct LeadFrame {
        std::complex<double> frame;
        double r = 0.0;   // its level, matched
        double rs = 0.0;  // and sharp
        std::int64_t sample = 0;
        KeyLevels levels;  // both levels as they were before it
        KeyLevels sharpLevels;
    };
    // Decides a frame the levels have already looked past.
    void Judge(const LeadFrame& f);
    // Judges the frames still waiting for the levels to look past them.
    void Drain();
    // Judges every frame and hands the whole search over to the timing.
    void HandAll();
    void Hand(const std::vector<KeyingSegment>& segments);
    // The low-passes and the frames for a new dot length, the search so
    // far handed over.
    void Retune(double unit);
    void Follow(std::complex<double> frame, bool mark);
    void Watch(double x);

    double sampleRate_;
    DecoderEvents& events_;
    AdaptiveSettings settings_;
    bool settled_ = false;
    bool mute_ = false;
    bool holding_ = false;
    int quietFrames_ = 0;        // frames below the threshold, in a row
    std::int64_t heardAt_ = -1;  // where in the held samples a mark first came
    int aboveRun_ = 0;
    std::vector<float> held_;
    std::int64_t heldFrom_ = 0;  // the input sample the held ones start at
    std::int64_t samplesIn_ = 0;
    std::int64_t runSample_ = 0;  // the input sample being run
    // Each frame in the search's reach: the input sample it stands for, its
    // level and the threshold then.
    struct FrameNote {
        std::int64_t sample = 0;
        double r = 0.0;
        double threshold = 0.0;
    };
    std::vector<FrameNote> notes_ = std::vector<FrameNote>(KeyingViterbi::kRing);
    // What the last mark took from the space after it, in seconds.
    double spaceOwed_ = 0.0;
    AdaptiveCharacter last_;
    KeyingFrontEnd front_;
    KeyLevels levels_;       // of the matched low-pass
    KeyLevels sharpLevels_;  // of the sharp one
    KeyingViterbi viterbi_;
    MorseTiming timing_{*this};
    std::vector<KeyingSegment> segments_;
    std::vector<double> passSnrDb_;  // the matched levels' SNR at each frame of a silent pass
    // How many frames the levels run ahead of the decisions: a dot's worth.
    static constexpr std::size_t kLeadFrames = KeyingFrontEnd::kFramesPerUnit;
    std::array<LeadFrame, kLeadFrames + 1> lead_{};
    std::size_t leadCount_ = 0;
    double retuneTo_ = 0.0;  // a dot length to follow once the frame is judged
    std::complex<double> lastFrame_{};
    double offsetHz_ = 0.0;
    double anchorHz_ = 0.0;
    bool lastMark_ = false;
    bool printedInWord_ = false;
    int lag_ = 30;
    // The squelch's look at the band: the last transform's worth of input
    // and the tone's level over the floor in the recent transforms.
    Fft fft_{Fft::ForBlock()};
    std::vector<double> recent_;
    std::size_t recentPos_ = 0;
    std::vector<double> re_, im_, outRe_, outIm_, power_;
    std::vector<double> window_;  // Hann, for both looks at the band
    std::vector<double> toneDb_;
    std::size_t toneDbPos_ = 0;
    std::size_t toneDbCount_ = 0;
};

}  // namespace quelp
