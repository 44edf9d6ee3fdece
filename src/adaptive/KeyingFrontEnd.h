#pragma once
// The adaptive decoder's signal path up to the keying statistic: a complex
// oscillator mixes the tuned frequency to 0 Hz, integrate-and-dump stages
// bring the rate down to about 441 Hz (their nulls fall exactly on the
// frequencies that fold back onto 0 Hz), and a raised-cosine low-pass about
// 1.4 dot lengths long, close to a matched filter for a dot, sets the
// bandwidth: it follows the sender's speed. Frames are taken a third of a
// dot apart, so that every element spans a few of them.

#include <complex>
#include <vector>

namespace quelp {

class KeyingFrontEnd {
  public:
    // The rate after the integrate-and-dump stage, nominally.
    static constexpr double kStageRate = 441.0;
    static constexpr int kFramesPerUnit = 3;

    explicit KeyingFrontEnd(double sampleRate);

    // The tone to bring to 0 Hz; the oscillator keeps its phase.
    void SetFrequency(double hz);
    double Frequency() const { return freqHz_; }

    // The low-passes' lengths in dots: matched to a dot, for weak signals,
    // and sharp, with a band wide enough to keep short gaps open and edges
    // steep where the signal stands far enough above the noise to afford it.
    static constexpr double kMatchedSpan = 1.4;
    static constexpr double kSharpSpan = 0.5;
    // Matched for a weak signal: longer, a narrower band for the noise.
    static constexpr double kWeakSpan = 1.8;

    // The matched low-pass's length in dots, from the next SetUnit on.
    void SetMatchedSpan(double dots) { matchedSpan_ = dots; }
    double MatchedSpan() const { return matchedSpan_; }

    // The dot length the low-passes are made for; clears them.
    void SetUnit(double seconds);
    double Unit() const { return unit_; }
    double FrameSeconds() const { return frameStep_ / stageRate_; }
    // Input samples per frame.
    double SamplesPerFrame() const { return frameStep_ * decimation_; }
    // How far a frame lags the input that made it (the low-pass's middle),
    // in input samples.
    double DelaySamples() const {
        return (0.5 * static_cast<double>(taps_.size() - 1) + 0.5) * decimation_;
    }

    // One input sample (1.0 full scale). True when `frame` holds a new
    // frame: the low-passed complex baseband at that moment.
    bool Step(double x, std::complex<double>& frame);
    // The same, with `sharp` the sharp low-pass's output at the same moment
    // (its middle is the matched one's).
    bool Step(double x, std::complex<double>& frame, std::complex<double>& sharp);

  private:
    double sampleRate_;
    int decimation_;
    double stageRate_;
    double freqHz_ = 0.0;
    double unit_ = 0.0;
    double matchedSpan_ = kMatchedSpan;
    std::complex<double> osc_{1.0, 0.0};
    std::complex<double> rotation_{1.0, 0.0};
    int sinceRenormalise_ = 0;
    std::complex<double> sum_{};
    int summed_ = 0;
    std::vector<double> taps_;
    std::vector<double> sharpTaps_;
    std::size_t sharpOffset_ = 0;  // where in the matched window the sharp one starts
    std::vector<std::complex<double>> ring_;
    std::size_t pos_ = 0;
    int frameStep_ = 1;
    int sinceFrame_ = 0;
};

}  // namespace quelp
