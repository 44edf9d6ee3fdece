// Throughput of the multi-channel decoder: the per-sample step with five
// active channels for a decimated (140 Hz) and a full-rate (3000 Hz) filter,
// and the whole block processor with the decoder on and off. Counters report
// samples per second and the multiple of real time at 11025 Hz.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

#include "app/QuelpApp.h"
#include "decoder/FreqScan.h"
#include "support/CwSynth.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp {
namespace {

constexpr int kBlock = kBlockSize;
constexpr std::array<int, 5> kBins = {90, 123, 160, 201, 250};

// Ten seconds of five keyed signals at different speeds in light noise,
// whole blocks.
const std::vector<std::int16_t>& Band() {
    static const std::vector<std::int16_t> pcm = [] {
        std::vector<double> sum(static_cast<size_t>(54 * kBlock), 0.0);
        for (size_t n = 0; n < kBins.size(); ++n) {
            test::CwSynthOptions o;
            o.signal.text = "cq cq de dl1abc dl1abc test test k";
            o.signal.wpm = 15.0 + 5.0 * n;
            o.signal.level = 0.1;
            o.signal.freqHz = kBins[n] * 11025.0 / 2048;
            o.signal.startSec = 0.1;
            o.snrDb = 10.0;
            o.seed = n + 1;
            o.tailSec = 10.0;
            const auto s = test::SynthesizeCw(o).samples;
            for (size_t i = 0; i < sum.size() && i < s.size(); ++i) sum[i] += s[i];
        }
        return test::ToPcm16(sum);
    }();
    return pcm;
}

void Report(benchmark::State& state, double samplesPerIteration) {
    const double samples = static_cast<double>(state.iterations()) * samplesPerIteration;
    state.SetItemsProcessed(static_cast<int64_t>(samples));
    state.counters["samples/s"] = benchmark::Counter(samples, benchmark::Counter::kIsRate);
    state.counters["x realtime"] =
        benchmark::Counter(samples / 11025.0, benchmark::Counter::kIsRate);
}

void BM_ScanSampleFiveChannels(benchmark::State& state) {
    const int code = static_cast<int>(state.range(0));
    state.SetLabel(code == 140 ? "FIR 140 Hz (rate 919)" : "FIR 3000 Hz (full rate)");
    const SineTable sine;
    const DetectorLevels levels;
    const DecoderSpeed speed;
    const ChannelReuse reuse;
    const CharsetChoice charset;
    CharacterTables tables;
    TFreqScan scan(sine, levels, speed, reuse, tables, charset);
    scan.SetFilter(code);
    std::array<double, TFreqScan::kSpectrumBins> peaks{};
    for (int b : kBins) peaks[static_cast<size_t>(b)] = 1.0;
    scan.ScanBlock(peaks, 40);
    const std::vector<std::int16_t>& pcm = Band();
    for (auto _ : state) {
        for (std::int16_t s : pcm) scan.ScanSample(s, true);
        benchmark::DoNotOptimize(scan.Channel(0).Level);
    }
    Report(state, static_cast<double>(pcm.size()));
}
BENCHMARK(BM_ScanSampleFiveChannels)->Arg(140)->Arg(3500);

void BM_ProcessBlock(benchmark::State& state) {
    const bool multi = state.range(0) != 0;
    state.SetLabel(multi ? "multi-channel on, 5 channels, 140 Hz" : "multi-channel off");
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    QuelpApp app({view, clock, dialogs, rx});
    app.SetSquelch(false, 0.05);  // the channels' peak floor; the squelch stays off
    if (multi) app.MultiChannelDecoder1Click();
    const std::vector<std::int16_t>& pcm = Band();
    int active = 0;
    for (auto _ : state) {
        for (size_t at = 0; at < pcm.size(); at += kBlock) app.ProcessBlock(pcm.data() + at, 0);
        state.PauseTiming();
        active = 0;
        for (int c = 0; c < TFreqScan::kChannels; ++c)
            active += app.Rx().FreqScan().ChannelBin(c) > 0;
        rx.text.clear();
        view.calls.clear();
        state.ResumeTiming();
    }
    state.counters["channels"] = active;
    Report(state, static_cast<double>(pcm.size()));
}
BENCHMARK(BM_ProcessBlock)->Arg(0)->Arg(1);

}  // namespace
}  // namespace quelp
