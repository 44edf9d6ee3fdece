#pragma once
// Forward complex discrete Fourier transform by a mixed-radix FFT:
//   Out[k] = sum over n of In[n] * exp(-j 2 pi k n / N),
// natural bin order, not normalised. The length is factored greedily by the
// radices 10, 8, 5, 4, 3, 2 (2048 = 8 x 8 x 8 x 4), any odd prime factor up to
// 37 is handled by a generic butterfly. The input is copied in digit-reversed
// order into the output arrays and then transformed in place, one pass per
// factor. Plan and twiddles are computed once in the constructor; a transform
// allocates nothing.
//
// A length with a prime factor above 37 is refused by the constructor: the
// object reports it through Valid() / ErrorText() and its transforms write
// zeros. The block processor only ever builds the 2048-point transform, whose
// support is checked at compile time (see kBlockLength below).

#include <cstdint>
#include <string>
#include <vector>

#include "dsp/Bins.h"

namespace quelp {

// Largest prime factor of n (n >= 1; 1 for n == 1).
constexpr int LargestPrimeFactor(int n) {
    int largest = 1;
    for (int p = 2; p * p <= n; ++p) {
        while (n % p == 0) {
            largest = p;
            n /= p;
        }
    }
    return n > 1 ? n : largest;
}

class Fft {
  public:
    // The largest prime factor the butterflies accept.
    static constexpr int kMaxPrimeFactor = 37;
    // The length of one block of the receiver.
    static constexpr int kBlockLength = kBlockSize;
    static_assert(LargestPrimeFactor(kBlockLength) <= kMaxPrimeFactor);

    explicit Fft(int length);

    // The receiver's 2048-point transform.
    static Fft ForBlock() { return Fft(kBlockLength); }

    int Length() const { return n_; }
    // False when the length is below 1 or has a prime factor above 37.
    bool Valid() const { return valid_; }
    // The offending prime factor (0 when valid, or the length itself if < 1).
    int BadFactor() const { return badFactor_; }
    // "\nPrime factor of FFT length too large : %6d" for a refused length,
    // empty otherwise.
    std::string ErrorText() const;
    // Radices of the passes, in the order they run.
    const std::vector<int>& Factors() const { return factors_; }

    // Complex input (inRe, inIm) to complex output (outRe, outIm), each of
    // Length() doubles. The output must not overlap the input.
    void Transform(const double* inRe, const double* inIm, double* outRe, double* outIm) const;
    // Real 16-bit samples (imaginary parts 0), as the block processor feeds it.
    void Transform(const int16_t* samples, double* outRe, double* outIm) const;

  private:
    struct Pass {
        int radix;
        int span;         // length of the sub-transforms this pass combines
        int twiddleBase;  // first twiddle of this pass in twRe_/twIm_
    };
    void Passes(double* re, double* im) const;
    void GenericPass(const Pass& p, double* re, double* im) const;

    int n_;
    bool valid_ = false;
    int badFactor_ = 0;
    std::vector<int> factors_;
    std::vector<Pass> passes_;
    std::vector<int> order_;  // order_[n] = position of input n after the copy
    std::vector<double> twRe_, twIm_;
    // cos/sin of 2 pi r / p for the generic odd radices, indexed by radix.
    std::vector<std::vector<double>> rootRe_, rootIm_;
};

}  // namespace quelp
