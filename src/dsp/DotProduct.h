#pragma once
// Inner product of two contiguous runs of doubles, the work of every FIR in
// the receive chain. Eight partial sums (four pairs of vector lanes) break the
// dependency chain of one running sum, which would cost one addition latency
// per tap; the loop then runs near the processor's multiply-add throughput.
// The order of summation is fixed, so results are the same on every run.

namespace quelp {

inline double DotProduct(const double* a, const double* b, int n) {
    double s[8] = {};
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        for (int j = 0; j < 8; ++j) s[j] += a[i + j] * b[i + j];
    }
    for (; i < n; ++i) s[0] += a[i] * b[i];
    return ((s[0] + s[1]) + (s[2] + s[3])) + ((s[4] + s[5]) + (s[6] + s[7]));
}

}  // namespace quelp
