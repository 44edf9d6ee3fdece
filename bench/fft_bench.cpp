// The receiver's 2048-point transform against FFTW's complex 2048-point
// transform (plan measured once, out of place), on the same random input.

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <random>
#include <vector>

#include "dsp/Fft.h"

namespace {

std::vector<double> RandomValues(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> v(n);
    for (double& x : v) x = u(rng);
    return v;
}

void BM_FftComplex2048(benchmark::State& state) {
    const quelp::Fft fft = quelp::Fft::ForBlock();
    const std::vector<double> re = RandomValues(2048, 1), im = RandomValues(2048, 2);
    std::vector<double> outRe(2048), outIm(2048);
    for (auto _ : state) {
        fft.Transform(re.data(), im.data(), outRe.data(), outIm.data());
        benchmark::DoNotOptimize(outRe.data());
        benchmark::DoNotOptimize(outIm.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FftComplex2048);

// The block processor's call: 16-bit samples in, imaginary parts zero.
void BM_FftBlock2048(benchmark::State& state) {
    const quelp::Fft fft = quelp::Fft::ForBlock();
    std::vector<int16_t> block(2048);
    const std::vector<double> noise = RandomValues(2048, 3);
    for (size_t n = 0; n < block.size(); ++n) block[n] = static_cast<int16_t>(noise[n] * 32767);
    std::vector<double> outRe(2048), outIm(2048);
    for (auto _ : state) {
        fft.Transform(block.data(), outRe.data(), outIm.data());
        benchmark::DoNotOptimize(outRe.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FftBlock2048);

void BM_Fftw3Complex2048(benchmark::State& state) {
    const int n = 2048;
    auto* in = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * n));
    auto* out = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * n));
    fftw_plan plan = fftw_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_MEASURE);
    const std::vector<double> re = RandomValues(2048, 1), im = RandomValues(2048, 2);
    for (int i = 0; i < n; ++i) {
        in[i][0] = re[static_cast<size_t>(i)];
        in[i][1] = im[static_cast<size_t>(i)];
    }
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}
BENCHMARK(BM_Fftw3Complex2048);

}  // namespace
