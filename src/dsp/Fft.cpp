#include "dsp/Fft.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace quelp {
namespace {

// A complex value without the NaN bookkeeping of std::complex multiplication,
// which would dominate the butterflies.
struct C {
    double r, i;
};
inline C operator+(C a, C b) {
    return {a.r + b.r, a.i + b.i};
}
inline C operator-(C a, C b) {
    return {a.r - b.r, a.i - b.i};
}
inline C operator*(C a, C b) {
    return {a.r * b.r - a.i * b.i, a.r * b.i + a.i * b.r};
}
inline C Scale(C a, double s) {
    return {a.r * s, a.i * s};
}
// a * (-j)
inline C MulMinusJ(C a) {
    return {a.i, -a.r};
}

constexpr double kSqrtHalf = 0.70710678118654752440;
constexpr double kSin60 = 0.86602540378443864676;  // sin(2 pi / 3)

inline void Dft2(C* a) {
    const C t = a[0];
    a[0] = t + a[1];
    a[1] = t - a[1];
}

inline void Dft3(C* a) {
    const C t = a[1] + a[2];
    const C m = a[0] - Scale(t, 0.5);
    const C d = MulMinusJ(Scale(a[1] - a[2], kSin60));
    a[0] = a[0] + t;
    a[1] = m + d;
    a[2] = m - d;
}

inline void Dft4(C* a) {
    const C t0 = a[0] + a[2], t1 = a[0] - a[2];
    const C t2 = a[1] + a[3], t3 = MulMinusJ(a[1] - a[3]);
    a[0] = t0 + t2;
    a[1] = t1 + t3;
    a[2] = t0 - t2;
    a[3] = t1 - t3;
}

inline void Dft5(C* a) {
    constexpr double c1 = 0.30901699437494742410;   // cos(2 pi / 5)
    constexpr double c2 = -0.80901699437494742410;  // cos(4 pi / 5)
    constexpr double s1 = 0.95105651629515357212;   // sin(2 pi / 5)
    constexpr double s2 = 0.58778525229247312917;   // sin(4 pi / 5)
    const C t1 = a[1] + a[4], t2 = a[2] + a[3];
    const C d1 = a[1] - a[4], d2 = a[2] - a[3];
    const C m1 = a[0] + Scale(t1, c1) + Scale(t2, c2);
    const C m2 = a[0] + Scale(t1, c2) + Scale(t2, c1);
    const C n1 = MulMinusJ(Scale(d1, s1) + Scale(d2, s2));
    const C n2 = MulMinusJ(Scale(d1, s2) - Scale(d2, s1));
    a[0] = a[0] + t1 + t2;
    a[1] = m1 + n1;
    a[4] = m1 - n1;
    a[2] = m2 + n2;
    a[3] = m2 - n2;
}

// 8 = 2 x 4: two 4-point transforms of the even and odd inputs.
inline void Dft8(C* a) {
    C e[4] = {a[0], a[2], a[4], a[6]};
    C o[4] = {a[1], a[3], a[5], a[7]};
    Dft4(e);
    Dft4(o);
    const C o1 = Scale(C{o[1].r + o[1].i, o[1].i - o[1].r}, kSqrtHalf);   // * (1 - j)/sqrt2
    const C o2 = MulMinusJ(o[2]);                                         // * -j
    const C o3 = Scale(C{o[3].i - o[3].r, -o[3].r - o[3].i}, kSqrtHalf);  // * (-1 - j)/sqrt2
    a[0] = e[0] + o[0];
    a[4] = e[0] - o[0];
    a[1] = e[1] + o1;
    a[5] = e[1] - o1;
    a[2] = e[2] + o2;
    a[6] = e[2] - o2;
    a[3] = e[3] + o3;
    a[7] = e[3] - o3;
}

// 10 = 2 x 5: two 5-point transforms of the even and odd inputs.
inline void Dft10(C* a) {
    static constexpr C w[5] = {
        {1.0, 0.0},
        {0.80901699437494742410, -0.58778525229247312917},
        {0.30901699437494742410, -0.95105651629515357212},
        {-0.30901699437494742410, -0.95105651629515357212},
        {-0.80901699437494742410, -0.58778525229247312917},
    };
    C e[5] = {a[0], a[2], a[4], a[6], a[8]};
    C o[5] = {a[1], a[3], a[5], a[7], a[9]};
    Dft5(e);
    Dft5(o);
    for (int k = 0; k < 5; ++k) {
        const C t = o[k] * w[k];
        a[k] = e[k] + t;
        a[k + 5] = e[k] - t;
    }
}

// The butterflies of one group run over k1 = 0..span-1 with every array
// access contiguous in k1 (twiddles stored radix-digit major), so the
// compiler can vectorise across butterflies; each k1 touches only its own
// elements.
// (clang vectorises these loops by itself and warns when asked to.)
#if defined(__GNUC__) && !defined(__clang__)
#define QUELP_INDEPENDENT_ITERATIONS _Pragma("GCC ivdep")
#else
#define QUELP_INDEPENDENT_ITERATIONS
#endif

template <int R>
inline void Butterfly(C* a) {
    if constexpr (R == 2) Dft2(a);
    if constexpr (R == 3) Dft3(a);
    if constexpr (R == 4) Dft4(a);
    if constexpr (R == 5) Dft5(a);
    if constexpr (R == 8) Dft8(a);
    if constexpr (R == 10) Dft10(a);
}

template <int R>
void FixedPass(int n, int span, const double* twRe, const double* twIm, double* re, double* im) {
    const int len = span * R;
    if (span == 1) {  // first pass: every twiddle is 1
        for (int base = 0; base < n; base += R) {
            C a[R];
            for (int r = 0; r < R; ++r) a[r] = {re[base + r], im[base + r]};
            Butterfly<R>(a);
            for (int r = 0; r < R; ++r) {
                re[base + r] = a[r].r;
                im[base + r] = a[r].i;
            }
        }
        return;
    }
    for (int base = 0; base < n; base += len) {
        double* gr = re + base;
        double* gi = im + base;
        QUELP_INDEPENDENT_ITERATIONS
        for (int k1 = 0; k1 < span; ++k1) {
            C a[R];
            a[0] = {gr[k1], gi[k1]};
            for (int r = 1; r < R; ++r) {
                const int t = (r - 1) * span + k1;
                a[r] = C{gr[r * span + k1], gi[r * span + k1]} * C{twRe[t], twIm[t]};
            }
            Butterfly<R>(a);
            for (int r = 0; r < R; ++r) {
                gr[r * span + k1] = a[r].r;
                gi[r * span + k1] = a[r].i;
            }
        }
    }
}

}  // namespace

Fft::Fft(int length) : n_(length) {
    if (length < 1) {
        badFactor_ = length;
        return;
    }
    int rest = length;
    for (int radix : {10, 8, 5, 4, 3, 2}) {
        while (rest % radix == 0) {
            factors_.push_back(radix);
            rest /= radix;
        }
    }
    for (int p = 7; p <= kMaxPrimeFactor && rest > 1; p += 2) {
        while (rest % p == 0) {
            factors_.push_back(p);
            rest /= p;
        }
    }
    if (rest > 1) {
        badFactor_ = LargestPrimeFactor(rest);
        factors_.clear();
        return;
    }
    valid_ = true;

    // Digit-reversed order: the last pass splits the input by its radix
    // (stride), so the least significant digit of n, in base of the last
    // radix, is the most significant digit of its position.
    const int passCount = static_cast<int>(factors_.size());
    order_.resize(static_cast<size_t>(n_));
    for (int n = 0; n < n_; ++n) {
        int rem = n, weight = n_, pos = 0;
        for (int s = passCount - 1; s >= 0; --s) {
            weight /= factors_[static_cast<size_t>(s)];
            pos += (rem % factors_[static_cast<size_t>(s)]) * weight;
            rem /= factors_[static_cast<size_t>(s)];
        }
        order_[static_cast<size_t>(n)] = pos;
    }

    // Twiddles W_len^(r k1), len = span x radix, for every pass.
    rootRe_.resize(kMaxPrimeFactor + 1);
    rootIm_.resize(kMaxPrimeFactor + 1);
    int span = 1;
    for (int radix : factors_) {
        const int len = span * radix;
        passes_.push_back({radix, span, static_cast<int>(twRe_.size())});
        for (int r = 1; r < radix; ++r) {
            for (int k1 = 0; k1 < span; ++k1) {
                // Reduce the product first so the angle is exact to the last bit.
                const long long e = (static_cast<long long>(r) * k1) % len;
                const double angle = -2.0 * std::numbers::pi * static_cast<double>(e) / len;
                twRe_.push_back(std::cos(angle));
                twIm_.push_back(std::sin(angle));
            }
        }
        if (radix > 5 && radix != 8 && radix != 10 && rootRe_[radix].empty()) {
            for (int r = 0; r < radix; ++r) {
                const double angle = -2.0 * std::numbers::pi * r / radix;
                rootRe_[radix].push_back(std::cos(angle));
                rootIm_[radix].push_back(std::sin(angle));
            }
        }
        span = len;
    }
}

std::string Fft::ErrorText() const {
    if (valid_) return {};
    char text[64];
    std::snprintf(text, sizeof text, "\nPrime factor of FFT length too large : %6d", badFactor_);
    return text;
}

void Fft::Transform(const double* inRe, const double* inIm, double* outRe, double* outIm) const {
    if (!valid_) {
        for (int k = 0; k < n_; ++k) outRe[k] = outIm[k] = 0.0;
        return;
    }
    for (int n = 0; n < n_; ++n) {
        const int pos = order_[static_cast<size_t>(n)];
        outRe[pos] = inRe[n];
        outIm[pos] = inIm[n];
    }
    Passes(outRe, outIm);
}

void Fft::Transform(const int16_t* samples, double* outRe, double* outIm) const {
    if (!valid_) {
        for (int k = 0; k < n_; ++k) outRe[k] = outIm[k] = 0.0;
        return;
    }
    for (int n = 0; n < n_; ++n) {
        const int pos = order_[static_cast<size_t>(n)];
        outRe[pos] = samples[n];
        outIm[pos] = 0.0;
    }
    Passes(outRe, outIm);
}

void Fft::Passes(double* re, double* im) const {
    for (const Pass& p : passes_) {
        const double* tr = twRe_.data() + p.twiddleBase;
        const double* ti = twIm_.data() + p.twiddleBase;
        switch (p.radix) {
            case 2:
                FixedPass<2>(n_, p.span, tr, ti, re, im);
                break;
            case 3:
                FixedPass<3>(n_, p.span, tr, ti, re, im);
                break;
            case 4:
                FixedPass<4>(n_, p.span, tr, ti, re, im);
                break;
            case 5:
                FixedPass<5>(n_, p.span, tr, ti, re, im);
                break;
            case 8:
                FixedPass<8>(n_, p.span, tr, ti, re, im);
                break;
            case 10:
                FixedPass<10>(n_, p.span, tr, ti, re, im);
                break;
            default:
                GenericPass(p, re, im);
                break;
        }
    }
}

// Odd prime radix p: outputs k and p - k share the sums and differences of
// the input pairs r and p - r.
void Fft::GenericPass(const Pass& p, double* re, double* im) const {
    const int radix = p.radix, span = p.span, len = span * radix, half = (radix - 1) / 2;
    const std::vector<double>& cr = rootRe_[static_cast<size_t>(radix)];
    const std::vector<double>& ci = rootIm_[static_cast<size_t>(radix)];
    std::array<C, kMaxPrimeFactor> a{}, sum{}, diff{};
    for (int k1 = 0; k1 < span; ++k1) {
        const double* tr = twRe_.data() + p.twiddleBase;
        const double* ti = twIm_.data() + p.twiddleBase;
        for (int base = k1; base < n_; base += len) {
            a[0] = {re[base], im[base]};
            for (int r = 1; r < radix; ++r)
                a[r] = C{re[base + r * span], im[base + r * span]} *
                       C{tr[(r - 1) * span + k1], ti[(r - 1) * span + k1]};
            C dc = a[0];
            for (int r = 1; r <= half; ++r) {
                sum[r] = a[r] + a[radix - r];
                diff[r] = a[r] - a[radix - r];
                dc = dc + sum[r];
            }
            re[base] = dc.r;
            im[base] = dc.i;
            for (int k = 1; k <= half; ++k) {
                C even = a[0], odd{0.0, 0.0};
                int e = 0;
                for (int r = 1; r <= half; ++r) {
                    e += k;
                    if (e >= radix) e -= radix;
                    // cos part on the sums, j sin part on the differences.
                    even = even + Scale(sum[r], cr[e]);
                    odd = odd + Scale(diff[r], ci[e]);
                }
                // odd holds sum(diff * sin) with sin already negative for the
                // forward direction; multiply by j.
                const C jodd{-odd.i, odd.r};
                re[base + k * span] = even.r + jodd.r;
                im[base + k * span] = even.i + jodd.i;
                re[base + (radix - k) * span] = even.r - jodd.r;
                im[base + (radix - k) * span] = even.i - jodd.i;
            }
        }
    }
}

}  // namespace quelp
