#include "adaptive/AdaptiveDecoder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "dsp/Bins.h"

namespace quelp {

namespace {

// Transforms looked back on by the squelch (1024 samples apart).
constexpr std::size_t kToneHops = 32;

// The sharp low-pass's SNR (a dot's worth of signal over the noise) above
// which its frames are decoded rather than the matched one's.
constexpr double kSharpSnrDb = 16.0;
// The low-passes follow the timing's dot once it is this many times longer
// or shorter than theirs, in a gap of this many dots. Only a signal this far
// over the noise (the matched low-pass's SNR) is followed so: in noise, runs
// of false marks would pull the speed anywhere.
constexpr double kRetune = 1.4;
constexpr double kRetuneGap = 3.0;
constexpr double kFollowSnrDb = 12.0;
// The mark-over-noise ratio (dB, of the levels at a frame) above which a
// fall of the levels in the frames after it is a fade.
constexpr double kLeadSnrDb = 14.0;

}  // namespace

AdaptiveDecoder::AdaptiveDecoder(double sampleRate, DecoderEvents& events)
    : sampleRate_(sampleRate > 0.0 ? sampleRate : 11025.0), events_(events), front_(sampleRate_) {
    const auto n = static_cast<std::size_t>(fft_.Length());
    recent_.assign(n, 0.0);
    re_.assign(n, 0.0);
    im_.assign(n, 0.0);
    outRe_.assign(n, 0.0);
    outIm_.assign(n, 0.0);
    power_.assign(n / 2, 0.0);
    window_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        window_[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                          static_cast<double>(n));
    }
    toneDb_.assign(kToneHops, 0.0);
    Restart();
}

void AdaptiveDecoder::Configure(const AdaptiveSettings& settings) {
    const bool retune = settings.frequencyHz != settings_.frequencyHz;
    settings_ = settings;
    if (retune) Restart();
}

void AdaptiveDecoder::Restart() {
    // What was decoded of the signal left is printed, not dropped with it.
    timing_.HandOver();
    settled_ = false;
    front_.SetMatchedSpan(KeyingFrontEnd::kMatchedSpan);
    holding_ = false;
    quietFrames_ = 0;
    held_.clear();
    held_.reserve(static_cast<std::size_t>(kSettleSeconds * sampleRate_) + 1);
    offsetHz_ = 0.0;
    toneDbCount_ = 0;
    recentPos_ = 0;
}

void AdaptiveDecoder::Sample(double x) {
    const std::int64_t index = samplesIn_++;
    if (holding_) {
        Hold(x);
        return;
    }
    if (settled_) {
        Run(x, index, true);
        if (quietFrames_ * front_.FrameSeconds() > PauseSeconds()) BeginHold();
        return;
    }
    if (held_.empty()) {
        // Digital silence before the input starts is not settled on: the
        // first seconds held are the band's.
        if (std::abs(x) < kSilentSample) return;
        heldFrom_ = index;
    }
    held_.push_back(static_cast<float>(x));
    if (static_cast<double>(held_.size()) >= kSettleSeconds * sampleRate_) Settle();
}

void AdaptiveDecoder::Finish() {
    if (holding_) EndHold();
    if (!settled_) {
        if (held_.empty()) return;
        Settle();
    }
    HandAll();
    timing_.End();
    Restart();
}

// --- decoding ---------------------------------------------------------------------

void AdaptiveDecoder::Run(double x, std::int64_t index, bool watch) {
    runSample_ = index;
    if (watch) Watch(x);
    std::complex<double> frame;
    std::complex<double> sharp;
    if (front_.Step(x, frame, sharp)) Frame(frame, sharp);
}

void AdaptiveDecoder::Frame(std::complex<double> frame, std::complex<double> sharp) {
    // Each frame is judged a dot later than it comes, so that the levels can
    // look past it: in a fade the first element after a gap is already
    // weaker than the levels left by the one before it.
    const double r = std::abs(frame);
    const double rs = std::abs(sharp);
    lead_[leadCount_++] = {frame, r, rs, runSample_, levels_, sharpLevels_};
    levels_.Update(r);
    sharpLevels_.Update(rs);
    if (mute_) passSnrDb_.push_back(levels_.SnrDb());
    if (leadCount_ <= kLeadFrames) return;
    const LeadFrame oldest = lead_[0];
    std::move(lead_.begin() + 1, lead_.begin() + leadCount_, lead_.begin());
    --leadCount_;
    Judge(oldest);
    if (retuneTo_ > 0.0) {
        const double unit = retuneTo_;
        retuneTo_ = 0.0;
        Retune(unit);
    }
}

void AdaptiveDecoder::Drain() {
    const std::size_t count = leadCount_;
    leadCount_ = 0;
    for (std::size_t i = 0; i < count; ++i) Judge(lead_[i]);
    retuneTo_ = 0.0;
}

void AdaptiveDecoder::HandAll() {
    Drain();
    segments_.clear();
    viterbi_.Flush(segments_);
    Hand(segments_);
}

void AdaptiveDecoder::Judge(const LeadFrame& f) {
    // The levels as they were at this frame, unless they have fallen in the
    // frames after it on a signal far enough above the noise: then the signal
    // is fading, and the fallen levels judge it. On a weak one they fall
    // and rise with the noise, and each frame is judged by its own.
    auto judgedBy = [](const KeyLevels& now, const KeyLevels& then) -> const KeyLevels& {
        return now.Mark() < then.Mark() && then.SnrDb() > kLeadSnrDb ? now : then;
    };
    const KeyLevels& matched = judgedBy(levels_, f.levels);
    const KeyLevels& sharp = judgedBy(sharpLevels_, f.sharpLevels);
    // Far enough above the noise the sharp low-pass is decoded: short gaps
    // stay open and the edges fall where keyed; in fades and weak signals
    // the matched one.
    const bool useSharp = sharp.SnrDb() > kSharpSnrDb;
    const KeyLevels& decide = useSharp ? sharp : matched;
    const double v = useSharp ? f.rs : f.r;
    const double llr = decide.Llr(v);
    const double threshold = decide.Threshold();
    const bool mark = f.r > matched.Threshold();
    quietFrames_ = mark ? 0 : quietFrames_ + 1;
    Follow(f.frame, mark);
    viterbi_.Step(llr);
    notes_[static_cast<std::size_t>(viterbi_.Frames() & (KeyingViterbi::kRing - 1))] = {
        f.sample - static_cast<std::int64_t>(std::lround(front_.DelaySamples())), v, threshold};
    const bool follow = matched.SnrDb() > kFollowSnrDb;
    timing_.FollowRuns(follow);
    if (viterbi_.Frames() % KeyingFrontEnd::kFramesPerUnit == 0) {
        segments_.clear();
        viterbi_.Commit(lag_, segments_);
        Hand(segments_);
    }
    // A sender who changed speed without a pause: once he is between
    // characters, the low-passes and the frames follow him.
    const double unit = timing_.Estimates().Unit();
    if (follow && std::abs(std::log(unit / front_.Unit())) > std::log(kRetune) &&
        quietFrames_ * front_.FrameSeconds() > kRetuneGap * unit) {
        retuneTo_ = unit;
    }
}

void AdaptiveDecoder::Retune(double unit) {
    HandAll();
    const double quiet = quietFrames_ * front_.FrameSeconds();
    front_.SetUnit(unit);
    quietFrames_ = static_cast<int>(quiet / front_.FrameSeconds());
    lastMark_ = false;
}

void AdaptiveDecoder::Hand(const std::vector<KeyingSegment>& segments) {
    const double frameSeconds = front_.FrameSeconds();
    const double samplesPerFrame = front_.SamplesPerFrame();
    auto note = [this](std::int64_t frame) -> const FrameNote& {
        return notes_[static_cast<std::size_t>(frame & (KeyingViterbi::kRing - 1))];
    };
    // Where between two frames the level crossed the threshold, in frames
    // after the first of them; the middle when it did not cross there.
    auto crossing = [&](std::int64_t a) {
        if (a < 1 || a + 1 > viterbi_.Frames()) return 0.5;
        const FrameNote& x = note(a);
        const FrameNote& y = note(a + 1);
        const double t = 0.5 * (x.threshold + y.threshold);
        if ((x.r - t) * (y.r - t) >= 0.0) return 0.5;
        return (t - x.r) / (y.r - x.r);
    };
    for (const KeyingSegment& s : segments) {
        if (s.mark) {
            // The edges between the frames, where the level crossed the
            // threshold: a mark's length is not rounded to whole frames.
            const std::int64_t last = s.first + s.frames - 1;
            const double early = 0.5 - crossing(s.first - 1);
            const double late = crossing(last) - 0.5;
            if (early != 0.0) timing_.Space(-early * frameSeconds);
            timing_.Mark((s.frames + early + late) * frameSeconds,
                         note(s.first).sample - std::lround((0.5 + early) * samplesPerFrame),
                         note(last).sample + std::lround((0.5 + late) * samplesPerFrame));
            spaceOwed_ = late * frameSeconds;
        } else {
            timing_.Space(s.frames * frameSeconds - spaceOwed_);
            spaceOwed_ = 0.0;
        }
    }
}

void AdaptiveDecoder::Follow(std::complex<double> frame, bool mark) {
    // Within a mark the tone turns between frames by its offset from the
    // tuned frequency; a slow average of that turn steers the oscillator.
    if (mark && lastMark_) {
        const double turn = std::arg(frame * std::conj(lastFrame_));
        const double hz = turn / (2.0 * std::numbers::pi * front_.FrameSeconds());
        offsetHz_ = std::clamp(offsetHz_ + 0.02 * hz, -settings_.afcLimitHz, settings_.afcLimitHz);
        front_.SetFrequency(anchorHz_ + offsetHz_);
    }
    lastMark_ = mark;
    lastFrame_ = frame;
}

void AdaptiveDecoder::Watch(double x) {
    const std::size_t n = recent_.size();
    recent_[recentPos_ % n] = x;
    if (++recentPos_ % (n / 2) != 0 || recentPos_ < n) return;
    for (std::size_t i = 0; i < n; ++i) {
        re_[i] = window_[i] * recent_[(recentPos_ + i) % n];
    }
    fft_.Transform(re_.data(), im_.data(), outRe_.data(), outIm_.data());
    for (std::size_t k = 0; k < power_.size(); ++k) {
        power_[k] = outRe_[k] * outRe_[k] + outIm_[k] * outIm_[k];
    }
    const auto bin = static_cast<std::size_t>(
        std::clamp(std::lround(front_.Frequency() * static_cast<double>(n) / sampleRate_), 1L,
                   static_cast<long>(power_.size()) - 2));
    const double tone = std::max({power_[bin - 1], power_[bin], power_[bin + 1]});
    // The floor: the median of the band, which a few other signals do not move.
    std::vector<double>& band = re_;
    band.assign(power_.begin() + kFirstBin, power_.begin() + kLastBin + 1);
    std::nth_element(band.begin(), band.begin() + static_cast<long>(band.size() / 2), band.end());
    const double floor = band[band.size() / 2];
    toneDb_[toneDbPos_] = 10.0 * std::log10((tone + 1e-30) / (floor + 1e-30));
    toneDbPos_ = (toneDbPos_ + 1) % toneDb_.size();
    toneDbCount_ = std::min(toneDbCount_ + 1, toneDb_.size());
    re_.resize(n);
}

double AdaptiveDecoder::ToneOverFloorDb() const {
    if (toneDbCount_ == 0) return 0.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < toneDbCount_; ++i) sum += toneDb_[i];
    return sum / static_cast<double>(toneDbCount_);
}

bool AdaptiveDecoder::Audible() const {
    return !mute_ && ToneOverFloorDb() >= settings_.squelchDb;
}

void AdaptiveDecoder::TimedCharacter(std::uint32_t code, std::int64_t first, std::int64_t end) {
    if (mute_) return;
    printedInWord_ = true;
    last_ = {std::max<std::int64_t>(0, first), std::max<std::int64_t>(0, end), FrequencyHz(),
             Wpm()};
    events_.CharacterDecoded(code);
}

void AdaptiveDecoder::TimedWordSpace() {
    if (mute_ || !printedInWord_) return;
    printedInWord_ = false;
    events_.CharacterDecoded(0);
}

}  // namespace quelp
