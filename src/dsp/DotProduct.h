#pragma once
// Inner product of two contiguous runs of doubles, the work of every FIR in
// the receive chain. Four partial sums break the dependency chain of one
// running sum (one addition latency per tap), so the loop runs at the
// processor's multiply-add throughput instead; the order of summation is fixed,
// so results are the same on every run.

namespace quelp {

inline double DotProduct(const double* a, const double* b, int n) {
    double s0 = 0.0;
    double s1 = 0.0;
    double s2 = 0.0;
    double s3 = 0.0;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        s0 += a[i] * b[i];
        s1 += a[i + 1] * b[i + 1];
        s2 += a[i + 2] * b[i + 2];
        s3 += a[i + 3] * b[i + 3];
    }
    for (; i < n; ++i) s0 += a[i] * b[i];
    return (s0 + s1) + (s2 + s3);
}

}  // namespace quelp
