#pragma once
// The mark and space levels of the keying statistic, tracked separately: the
// mark amplitude with a fast attack and a slower release, so that the
// decision follows a fade within a few elements, and the noise from the
// frames judged key-up. From the two come the decision threshold and the
// soft decision of every frame: the log-likelihood ratio of a tone of the
// mark amplitude in the noise (Rice) against noise alone (Rayleigh).

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quelp {

// ln I0(x) for x >= 0, from the polynomial fits of the modified Bessel
// function (relative error below 1e-7).
inline double LogBesselI0(double x) {
    if (x < 3.75) {
        const double t = (x / 3.75) * (x / 3.75);
        return std::log(
            1.0 + t * (3.5156229 +
                       t * (3.0899424 +
                            t * (1.2067492 + t * (0.2659732 + t * (0.0360768 + t * 0.0045813))))));
    }
    const double t = 3.75 / x;
    const double p =
        0.39894228 +
        t * (0.01328592 +
             t * (0.00225319 +
                  t * (-0.00157565 +
                       t * (0.00916281 +
                            t * (-0.02057706 +
                                 t * (0.02635537 + t * (-0.01647633 + t * 0.00392377)))))));
    return x - 0.5 * std::log(x) + std::log(p);
}

class KeyLevels {
  public:
    // Rates per frame (three frames per dot).
    static constexpr double kAttack = 0.3;
    static constexpr double kRelease = 0.2;
    static constexpr double kKeyUpDecay = 0.012;
    static constexpr double kNoiseRate = 0.02;
    // The 20th percentile of the Rayleigh distribution over sigma.
    static constexpr double kLowFifth = 0.668;
    // The mark level never sinks below this multiple of the noise: without a
    // signal the threshold stays out of the noise.
    static constexpr double kMarkFloor = 2.5;
    // Neighbouring frames share most of their noise; each frame's ratio is
    // weighed down accordingly.
    static constexpr double kFrameWeight = 0.7;
    static constexpr double kMaxLlr = 25.0;
    // Noise alone exceeds this multiple of sigma in 0.03 % of the frames.
    static constexpr double kSureMark = 4.0;
    // Below any recorded noise (-140 dB of full scale): the input is digital
    // silence, a stream not yet started or muted, and tells nothing of the
    // band's noise. Taken for noise, it would let the noise that follows
    // through as marks.
    static constexpr double kSilence = 1e-7;

    void Reset(double mark, double noiseSigma) {
        sigma_ = std::max(noiseSigma, 1e-9);
        mark_ = std::max(mark, kMarkFloor * sigma_);
        last_ = beforeLast_ = 0.0;
    }

    double Mark() const { return mark_; }
    // Noise per real component of the complex frame.
    double Sigma() const { return sigma_; }
    // The mark's energy over the noise, 10 log10(A^2 / 2 sigma^2).
    double SnrDb() const { return 10.0 * std::log10(mark_ * mark_ / (2.0 * sigma_ * sigma_)); }

    // Where the Rice and Rayleigh densities cross, to first order:
    // A/2 + sigma^2/(2A) ln(pi A^2 / sigma^2); A/2 at high SNR.
    double Threshold() const {
        const double s2 = sigma_ * sigma_;
        return 0.5 * mark_ +
               s2 / (2.0 * mark_) * std::log(std::max(1.0, std::numbers::pi * mark_ * mark_ / s2));
    }

    double Llr(double r) const {
        const double s2 = sigma_ * sigma_;
        const double llr = LogBesselI0(mark_ * r / s2) - mark_ * mark_ / (2.0 * s2);
        return std::clamp(kFrameWeight * llr, -kMaxLlr, kMaxLlr);
    }

    void Update(double r) {
        if (r < kSilence) return;
        if (r > Threshold()) {
            mark_ += (r > mark_ ? kAttack : kRelease) * (r - mark_);
        } else if (last_ > kSureMark * sigma_ && last_ < mark_ && last_ >= beforeLast_ &&
                   last_ > r) {
            // The top of an element far above the noise but under the
            // threshold: the signal has faded faster than the level has
            // followed since the last mark, and the level drops to it at
            // once. Edges and the low-pass's tails between elements are no
            // tops and do not pull it.
            mark_ = last_;
        } else {
            mark_ -= kKeyUpDecay * mark_;
        }
        beforeLast_ = last_;
        last_ = r;
        // The noise from the lowest fifth of the frames, tracked on a log
        // scale: those lie between the elements, and a weak mark in a fade,
        // which a threshold would take for noise, does not lift them.
        sigma_ *= std::exp(r < kLowFifth * sigma_ ? -0.8 * kNoiseRate : 0.2 * kNoiseRate);
        mark_ = std::max(mark_, kMarkFloor * sigma_);
    }

  private:
    double mark_ = 1.0;
    double sigma_ = 0.1;
    double last_ = 0.0;  // the frames before this one
    double beforeLast_ = 0.0;
};

}  // namespace quelp
