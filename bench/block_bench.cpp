// Throughput of the block processor: one block of 2048 samples through the
// transform, the spectrum smoothing, AFC, the per-sample receive chain, the
// automatic threshold and the main decoder, with a narrow, a medium and a
// full-rate main filter. The blocks are 20 WPM CW in noise (0 dB in 2500 Hz),
// cycled, so the decoder and the estimator see real keying. One block is
// 185.76 ms of audio at 11025 Hz.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/QuelpApp.h"
#include "dsp/Bins.h"
#include "support/CwSynth.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp {
namespace {

constexpr double kBlockSeconds = 2048.0 / 11025.0;

std::vector<std::int16_t> NoisyCw() {
    test::CwSynthOptions o;
    o.signal.text = "cq cq de dl1abc dl1abc = ur rst 579 = name tom qth berlin = hw? <AR> k";
    o.signal.wpm = 20;
    o.signal.freqHz = 186 * 11025.0 / 2048.0;
    o.signal.level = 0.15;
    o.snrDb = 0.0;
    std::vector<std::int16_t> pcm = test::ToPcm16(test::SynthesizeCw(o).samples);
    pcm.resize(pcm.size() / kBlockSize * kBlockSize);
    return pcm;
}

void BM_ProcessBlock(benchmark::State& state) {
    const int code = static_cast<int>(state.range(0));
    state.SetLabel("main filter " + std::to_string(code) + ", AFC, auto threshold");
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    QuelpApp app({view, clock, dialogs, rx});
    app.SelectMainFilter(code);
    const std::vector<std::int16_t> pcm = NoisyCw();
    const size_t blocks = pcm.size() / kBlockSize;
    size_t next = 0;
    for (auto _ : state) {
        app.ProcessBlock(pcm.data() + next * kBlockSize, 0);
        next = next + 1 == blocks ? 0 : next + 1;
        // The receive text of a long run would only measure the fake's growth.
        if (rx.text.size() > 4096) {
            state.PauseTiming();
            rx.text.clear();
            view.calls.clear();
            state.ResumeTiming();
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["blocks/s"] = benchmark::Counter(n, benchmark::Counter::kIsRate);
    state.counters["x realtime"] =
        benchmark::Counter(n * kBlockSeconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ProcessBlock)->Arg(30)->Arg(140)->Arg(3500)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quelp
