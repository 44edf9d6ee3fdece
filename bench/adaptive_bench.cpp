// Throughput of the adaptive decoder on its own: a minute of 20 WPM CW at
// 0 dB (2500 Hz), plain and hand keyed (the sharp filter decodes the
// latter at +10 dB), from the first sample: the settling on the first
// seconds, the decoding and a pause between overs are all in the figure.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "adaptive/AdaptiveDecoder.h"
#include "support/CwSynth.h"

namespace quelp {
namespace {

class Discard final : public DecoderEvents {
  public:
    void CharacterDecoded(std::uint32_t) override { ++characters; }
    void SpeedMeasured() override {}
    void SpeedLimitsChanged() override {}
    void SpeedWindowApplied() override {}
    void SpeedLockChanged() override {}
    std::int64_t characters = 0;
};

std::vector<double> Minute(double snrDb, double jitter) {
    test::CwSynthOptions o;
    o.signal.text =
        "cq cq de dl1abc dl1abc k r tnx fer call ur rst 579 579 name tom qth berlin hw cpy "
        "wx here is sunny temp 20c rig is 100w ant dipole 73 es gl sk";
    o.signal.wpm = 20.0;
    o.signal.level = 0.15;
    o.signal.jitter = jitter;
    o.snrDb = snrDb;
    o.tailSec = 3.0;
    return test::SynthesizeCw(o).samples;
}

void BM_AdaptiveDecoder(benchmark::State& state) {
    const bool hand = state.range(0) != 0;
    const std::vector<double> samples = hand ? Minute(10.0, 0.2) : Minute(0.0, 0.0);
    for (auto _ : state) {
        Discard out;
        AdaptiveDecoder decoder(11025.0, out);
        for (double x : samples) decoder.Sample(x);
        decoder.Finish();
        benchmark::DoNotOptimize(out.characters);
    }
    // Seconds of audio decoded per second.
    state.counters["x_real_time"] = benchmark::Counter(
        static_cast<double>(samples.size()) / 11025.0 * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AdaptiveDecoder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quelp
