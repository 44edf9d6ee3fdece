// The adaptive decoder's settling on the first seconds and on the first
// seconds of every over after a pause: the frequency, the speed, the levels
// and the gap lengths, and the decoding of the held seconds with them.

#include <algorithm>
#include <cmath>
#include <iterator>

#include "adaptive/AdaptiveDecoder.h"
#include "adaptive/SplitTwo.h"
#include "dsp/Bins.h"

namespace quelp {

namespace {

// The first looks at the keying, before the speed is known: low-passes for
// 20 WPM, narrow enough for weak signals, and for 48 WPM, wide enough for
// fast ones; the speed each measures sets its next look's low-pass until the
// two agree, and the speed whose lengths fit the keying best is taken.
constexpr double kFirstUnits[] = {0.06, 0.025};
constexpr int kUnitRounds = 5;
// Marks shorter than this many frames of the first look are noise.
constexpr int kShortestMark = 2;
// A pause between overs lasts at least this long; the next over is held
// until it has gone on for kHoldSeconds or kHoldUnits dots, whichever is
// longer, with kHoldLeadSeconds before it, and measured: a speed this many
// times faster or slower is a new sender.
constexpr double kPauseSeconds = 2.0;
constexpr double kHoldSeconds = 2.5;
constexpr double kHoldUnits = 30.0;
constexpr double kHoldLeadSeconds = 0.5;
constexpr double kNewSpeed = 1.3;
// Below this mark-over-noise ratio (dB, in the matched low-pass) the dot is
// taken from the dashes; a first look more than 5 % off is corrected.
constexpr double kWeakSnrDb = 12.0;
const double kUnitTolerance = std::log(1.05);
// A log prior of `units` under a normal of `mean` and relative spread `spread`.
double LogNormalPrior(double units, double mean, double spread) {
    const double z = (units - mean) / (spread * mean);
    return -0.5 * z * z - std::log(spread * mean);
}

double Median(const std::vector<double>& v, std::size_t from, std::size_t to) {
    return v[from + (to - from) / 2];
}

}  // namespace

// --- settling ---------------------------------------------------------------------

double AdaptiveDecoder::PickFrequency() const {
    // The mean power spectrum of the held seconds: a steady signal gathers
    // energy in its bin over all of them, a burst or a crash does not.
    Fft fft = Fft::ForBlock();
    const int n = fft.Length();
    std::vector<double> re(static_cast<std::size_t>(n)), im(re.size()), outRe(re.size()),
        outIm(re.size()), power(re.size() / 2, 0.0);
    for (std::size_t start = 0; start + re.size() <= held_.size(); start += re.size() / 2) {
        for (std::size_t i = 0; i < re.size(); ++i) {
            re[i] = window_[i] * held_[start + i];
            im[i] = 0.0;
        }
        fft.Transform(re.data(), im.data(), outRe.data(), outIm.data());
        for (std::size_t k = 0; k < power.size(); ++k) {
            power[k] += outRe[k] * outRe[k] + outIm[k] * outIm[k];
        }
    }
    const double binHz = sampleRate_ / n;
    int lo = kFirstBin;
    int hi = kLastBin;
    if (settings_.frequencyHz) {
        lo = std::max(lo, static_cast<int>(
                              std::floor((*settings_.frequencyHz - settings_.afcLimitHz) / binHz)));
        hi = std::min(hi, static_cast<int>(
                              std::ceil((*settings_.frequencyHz + settings_.afcLimitHz) / binHz)));
        if (lo > hi) return *settings_.frequencyHz;
    }
    int best = lo;
    for (int k = lo; k <= hi; ++k) {
        if (power[static_cast<std::size_t>(k)] > power[static_cast<std::size_t>(best)]) best = k;
    }
    // The peak between bins, from the parabola through the logs of three.
    double delta = 0.0;
    if (best > 0 && best + 1 < static_cast<int>(power.size())) {
        const double a = std::log(power[static_cast<std::size_t>(best - 1)] + 1e-30);
        const double b = std::log(power[static_cast<std::size_t>(best)] + 1e-30);
        const double c = std::log(power[static_cast<std::size_t>(best + 1)] + 1e-30);
        const double d = a - 2.0 * b + c;
        if (d < 0.0) delta = std::clamp(0.5 * (a - c) / d, -0.5, 0.5);
    }
    double hz = (best + delta) * binHz;
    if (settings_.frequencyHz) {
        hz = std::clamp(hz, *settings_.frequencyHz - settings_.afcLimitHz,
                        *settings_.frequencyHz + settings_.afcLimitHz);
    }
    return hz;
}

namespace {

// The levels from the held frames: the noise from the lower frames (a
// Rayleigh quantile), the mark from the upper, then a few runs of the
// trackers over all of them.
void SettleLevels(KeyLevels& levels, const std::vector<double>& r) {
    std::vector<double> sorted;
    std::copy_if(r.begin(), r.end(), std::back_inserter(sorted),
                 [](double v) { return v >= KeyLevels::kSilence; });
    if (sorted.empty()) return;
    std::sort(sorted.begin(), sorted.end());
    const double low = sorted[sorted.size() * 3 / 10];
    const double high = sorted[sorted.size() * 95 / 100];
    levels.Reset(high, low / 0.845);
    for (int pass = 0; pass < 2; ++pass) {
        for (double v : r) levels.Update(v);
    }
}

}  // namespace

void AdaptiveDecoder::Look(double unit, std::vector<double>& marks, std::vector<double>& gaps) {
    front_.SetUnit(unit);
    std::vector<double> r;
    std::complex<double> f;
    for (float x : held_) {
        if (front_.Step(x, f)) r.push_back(std::abs(f));
    }
    SettleLevels(levels_, r);
    // The threshold follows the levels frame by frame, as it will when
    // decoding: a fade in the held seconds does not merge the marks.
    marks.clear();
    gaps.clear();
    int run = 0;
    int gap = -1;  // no mark yet
    for (double v : r) {
        const bool mark = v > levels_.Threshold();
        levels_.Update(v);
        if (mark) {
            if (run == 0 && gap > 0) gaps.push_back(gap * front_.FrameSeconds());
            ++run;
            gap = 0;
        } else {
            if (run >= kShortestMark) marks.push_back(run * front_.FrameSeconds());
            run = 0;
            if (gap >= 0) ++gap;
        }
    }
}

double AdaptiveDecoder::ConvergeUnit(double unit, double& score) {
    std::vector<double> marks;
    std::vector<double> gaps;
    score = 0.0;
    for (int round = 0; round < kUnitRounds; ++round) {
        Look(unit, marks, gaps);
        if (marks.size() < 3) return unit;
        std::sort(marks.begin(), marks.end());
        const std::size_t split = SplitTwo(marks);
        double dot = 0.0;
        if (split == 0) {
            dot = Median(marks, 0, marks.size());
        } else {
            const double s = Median(marks, 0, split);
            const double l = Median(marks, split, marks.size());
            dot = l / s > 2.0 && l / s < 5.0 ? 0.5 * (s + l / 3.0) : s;
        }
        const double next = std::clamp(dot, 0.02, 0.24);
        const bool agreed = std::abs(next - unit) < 0.1 * unit;
        unit = next;
        if (agreed) break;
    }
    // How well the lengths fit the keying at this speed: elements and gaps
    // of about one or three dots. Noise, and a low-pass too wide or too
    // narrow for the sender, give lengths of any kind.
    auto fits = [unit](double seconds) {
        const double dots = seconds / unit;
        return (dots > 0.6 && dots < 1.6) || (dots > 2.2 && dots < 4.5);
    };
    std::size_t fitting = 0;
    std::size_t counted = 0;
    for (double m : marks) {
        fitting += fits(m) ? 1 : 0;
        ++counted;
    }
    for (double g : gaps) {
        if (g > 10.0 * unit) continue;
        fitting += fits(g) ? 1 : 0;
        ++counted;
    }
    score = counted > 0 ? static_cast<double>(fitting) / static_cast<double>(counted) : 0.0;
    return unit;
}

double AdaptiveDecoder::EstimateUnit() {
    double best = kFirstUnits[0];
    double bestScore = -1.0;
    for (double start : kFirstUnits) {
        double score = 0.0;
        const double unit = ConvergeUnit(start, score);
        if (score > bestScore) {
            bestScore = score;
            best = unit;
        }
    }
    std::vector<double> marks;
    std::vector<double> gaps;
    Look(best, marks, gaps);
    return best;
}

void AdaptiveDecoder::StartSearch(double unit, const MorseTimingEstimates& timing) {
    front_.SetUnit(unit);
    const double f = KeyingFrontEnd::kFramesPerUnit;
    // Dots and dashes (dash 2.5 to 4 dots, hand keying; up to 12 dots, a
    // dash of a sender who slowed to a third, until the frames follow him),
    // element and
    // character gaps; longer spaces are the long-space state's.
    const int markMax = static_cast<int>(12 * f);
    const int spaceMax = static_cast<int>(5 * f);
    std::vector<double> mark(static_cast<std::size_t>(markMax));
    std::vector<double> space(static_cast<std::size_t>(spaceMax));
    const double floorLogP = std::log(1e-4);
    for (int d = 1; d <= markMax; ++d) {
        const double u = d / f;
        const double p = 0.55 * std::exp(LogNormalPrior(u, 1.0, 0.35)) +
                         0.45 * std::exp(LogNormalPrior(u, 3.0, 0.35));
        mark[static_cast<std::size_t>(d - 1)] = std::max(std::log(p + 1e-300), floorLogP);
    }
    for (int d = 1; d <= spaceMax; ++d) {
        const double u = d / f;
        const double p = 0.6 * std::exp(LogNormalPrior(u, 1.0, 0.35)) +
                         0.4 * std::exp(LogNormalPrior(u, 3.0, 0.3));
        space[static_cast<std::size_t>(d - 1)] = std::max(std::log(p + 1e-300), floorLogP);
    }
    viterbi_.SetModel(std::move(mark), std::move(space), std::log(0.2));
    viterbi_.Reset();
    leadCount_ = 0;
    retuneTo_ = 0.0;
    lag_ = 2 * spaceMax;
    timing_.Reset(timing);
    lastMark_ = false;
}

void AdaptiveDecoder::Settle() {
    anchorHz_ = PickFrequency();
    offsetHz_ = 0.0;
    front_.SetFrequency(anchorHz_);
    const double unit = EstimateUnit();
    MorseTimingEstimates guess;
    guess.dot = guess.elementGap = unit;
    guess.dash = guess.charGap = 3.0 * unit;
    guess.wordGap = 7.0 * unit;

    settled_ = true;
    DecodeHeld(unit, guess, true);
}

MorseTimingEstimates AdaptiveDecoder::SilentPass(const std::vector<float>& held, double unit,
                                                 const MorseTimingEstimates& guess, bool watch) {
    mute_ = true;
    timing_.Forget();
    StartSearch(unit, guess);
    passSnrDb_.clear();
    std::int64_t index = heldFrom_;
    for (float x : held) Run(x, index++, watch);
    HandAll();
    timing_.End();
    mute_ = false;
    return timing_.Estimates();
}

void AdaptiveDecoder::DecodeHeld(double unit, const MorseTimingEstimates& guess, bool watch) {
    // A silent pass lets the gap lengths and the levels settle on the held
    // seconds; then the same seconds are decoded from their start.
    std::vector<float> held;
    held.swap(held_);
    // The sharp low-pass lets through the noise of a band wider by the
    // ratio of the lengths; the silent pass settles it.
    sharpLevels_.Reset(levels_.Mark(), levels_.Sigma() * std::sqrt(front_.MatchedSpan() /
                                                                   KeyingFrontEnd::kSharpSpan));
    MorseTimingEstimates settledTiming = SilentPass(held, unit, guess, watch);
    // The tracking's offset found on the way through stays.
    front_.SetFrequency(anchorHz_ + offsetHz_);
    // A weak signal's first look reads its dots short: noise chops the
    // marks. The dashes the silent pass found, long enough to keep their
    // length, give the dot the low-pass is made for; the decoding does not
    // follow the speed down there, so it must be right from the start.
    const bool weak = levels_.SnrDb() < kWeakSnrDb;
    const double fromDashes = settledTiming.dash / 3.0;
    if (weak && std::abs(std::log(fromDashes / unit)) > kUnitTolerance) unit = fromDashes;
    // A signal weak for most of the held seconds (a fading one may be in a
    // trough as they end) is decoded through a longer low-pass: a narrower
    // band for the noise, at the price of following fades less closely. The
    // levels settle again on its output.
    std::vector<double>& snr = passSnrDb_;
    bool weakThrough = weak;
    if (!snr.empty()) {
        std::nth_element(snr.begin(), snr.begin() + static_cast<long>(snr.size() / 2), snr.end());
        weakThrough = snr[snr.size() / 2] < kWeakSnrDb;
    }
    const double span = weakThrough ? KeyingFrontEnd::kWeakSpan : KeyingFrontEnd::kMatchedSpan;
    if (span != front_.MatchedSpan()) {
        front_.SetMatchedSpan(span);
        settledTiming = SilentPass(held, unit, settledTiming, false);
        front_.SetFrequency(anchorHz_ + offsetHz_);
    }
    StartSearch(unit, settledTiming);
    std::int64_t index = heldFrom_;
    for (float x : held) Run(x, index++, watch);
    quietFrames_ = 0;
}

// --- pauses ---------------------------------------------------------------------

double AdaptiveDecoder::PauseSeconds() const {
    // Longer than any word gap of the sender's, slow practice spacing too.
    return std::max(kPauseSeconds, 3.0 * timing_.Estimates().wordGap);
}

void AdaptiveDecoder::BeginHold() {
    // Everything up to the pause is decoded and printed; what follows is
    // held until the next over has gone on long enough to measure.
    HandAll();
    timing_.End();
    holding_ = true;
    heardAt_ = -1;
    aboveRun_ = 0;
    held_.clear();
    heldFrom_ = samplesIn_;
}

void AdaptiveDecoder::Hold(double x) {
    // The squelch looks at the band as the samples come: it judges what
    // is printed from the held seconds by the moment they are printed.
    Watch(x);
    held_.push_back(static_cast<float>(x));
    std::complex<double> frame;
    if (front_.Step(x, frame)) {
        // The levels stay as they are: the same frames run again after.
        aboveRun_ = std::abs(frame) > levels_.Threshold() ? aboveRun_ + 1 : 0;
        if (aboveRun_ >= kShortestMark && heardAt_ < 0) {
            heardAt_ = static_cast<std::int64_t>(held_.size());
        }
    }
    const auto keep = static_cast<std::size_t>(kHoldLeadSeconds * sampleRate_);
    if (heardAt_ < 0) {
        // Nothing keyed yet: only the last moments before the next over matter.
        if (held_.size() > 4 * keep) {
            const std::size_t drop = held_.size() - keep;
            held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(drop));
            heldFrom_ += static_cast<std::int64_t>(drop);
        }
        return;
    }
    const double unit = timing_.Estimates().Unit();
    const double needed = std::max(kHoldSeconds, kHoldUnits * unit) * sampleRate_;
    if (static_cast<double>(held_.size()) - static_cast<double>(heardAt_) >= needed) EndHold();
}

void AdaptiveDecoder::EndHold() {
    holding_ = false;
    quietFrames_ = 0;
    if (heardAt_ < 0) {
        // The input ended in the pause: nothing was keyed to decode.
        held_.clear();
        StartSearch(front_.Unit(), timing_.Estimates());
        return;
    }
    const double before = front_.Unit();
    const MorseTimingEstimates timing = timing_.Estimates();
    const KeyLevels levels = levels_;
    const double unit = EstimateUnit();
    if (std::abs(std::log(unit / before)) > std::log(kNewSpeed)) {
        // Another speed: the next over is decoded as the first was.
        MorseTimingEstimates guess;
        guess.dot = guess.elementGap = unit;
        guess.dash = guess.charGap = 3.0 * unit;
        guess.wordGap = 7.0 * unit;
        DecodeHeld(unit, guess, false);
        return;
    }
    // The same sender: the levels the measuring left were the matched
    // low-pass's, and the decoding goes on as it was.
    levels_ = levels;
    std::vector<float> held;
    held.swap(held_);
    StartSearch(before, timing);
    std::int64_t index = heldFrom_;
    for (float x : held) Run(x, index++, false);
    quietFrames_ = 0;
}

}  // namespace quelp
