// Throughput of the per-sample signal path: the receive chain's envelope for
// every main filter, and the sound output filter for a decimated and a
// full-rate table. Counters report samples per second and the multiple of
// real time at 11025 Hz.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "dsp/DspSound.h"
#include "dsp/MainFilterTable.h"
#include "dsp/ReceiveChain.h"
#include "dsp/SineTable.h"
#include "dsp/SoundFilter.h"

namespace quelp {
namespace {

constexpr int kBlock = 2048;

// One block of a tone near the receive frequency with a little noise, as
// doubles scaled like the chain's input.
std::vector<double> TestBlock(double scale) {
    std::vector<double> block(kBlock);
    uint32_t seed = 12345;
    for (int n = 0; n < kBlock; ++n) {
        seed = seed * 1664525U + 1013904223U;
        const double noise = (static_cast<double>(seed >> 8) / (1U << 24) - 0.5) * 2000.0;
        block[n] =
            (20000.0 * std::sin(2.0 * 3.141592653589793 * 1001.0 * n / 11025.0) + noise) * scale;
    }
    return block;
}

void Report(benchmark::State& state) {
    const double samples = static_cast<double>(state.iterations()) * kBlock;
    state.SetItemsProcessed(static_cast<int64_t>(samples));
    state.counters["samples/s"] = benchmark::Counter(samples, benchmark::Counter::kIsRate);
    state.counters["x realtime"] =
        benchmark::Counter(samples / 11025.0, benchmark::Counter::kIsRate);
}

void BM_EnvelopeFunction(benchmark::State& state) {
    const MainFilterRow& row = *FindMainFilter(static_cast<int>(state.range(0)));
    state.SetLabel("main filter " + std::to_string(row.Code));
    const SineTable sine;
    ReceiveChain chain(sine);
    if (row.Fir != nullptr) {
        chain.LoadFir(*row.Fir, row.Rate);
    } else {
        chain.LoadIir(*row.Iir);
    }
    const std::vector<double> block = TestBlock(1.0 / 16384.0);
    for (auto _ : state) {
        double sum = 0.0;
        for (double x : block) sum += chain.EnvelopeFunction(x);
        benchmark::DoNotOptimize(sum);
    }
    Report(state);
}
BENCHMARK(BM_EnvelopeFunction)
    ->Arg(10)
    ->Arg(20)
    ->Arg(30)
    ->Arg(70)
    ->Arg(140)
    ->Arg(280)
    ->Arg(600)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(3500)
    ->Arg(101)
    ->Arg(251)
    ->Arg(1001);

void BM_DspSoundProcess(benchmark::State& state) {
    const int code = static_cast<int>(state.range(0));
    state.SetLabel(code == 140 ? "FIR 140 Hz (rate 919)" : "FIR 3000 Hz (full rate)");
    const SineTable sine;
    const int32_t step = 2976;
    DspSound sound(sine, step);
    ApplySoundFilter(sound, code);
    const std::vector<double> block = TestBlock(1.0);
    for (auto _ : state) {
        double sum = 0.0;
        for (double x : block) sum += sound.Process(x);
        benchmark::DoNotOptimize(sum);
    }
    Report(state);
}
BENCHMARK(BM_DspSoundProcess)->Arg(140)->Arg(3500);

}  // namespace
}  // namespace quelp
