// Decoding recordings that are not at the receiver's rate: a 48000 Hz 16-bit
// WAV file read through the sound file adapter, converted to 11025 Hz and
// decoded by the block processor, as `quelp-cli decode` does, against the
// same recording at 11025 Hz through the WAV reader, and the conversion alone.
// The counter audio_s is seconds of audio per second: times real time on one
// core.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "adapters/sndfile/SndfileSource.h"
#include "app/QuelpApp.h"
#include "support/CwSynth.h"
#include "support/FakeAppPorts.h"
#include "support/SoundFiles.h"

namespace quelp {
namespace {

constexpr double kSeconds = 60.0;

// A minute of 25 WPM CW in noise at `rate`, written once per process.
const std::string& RecordingAt(int rate) {
    static std::string paths[2];
    std::string& path = paths[rate == 11025 ? 0 : 1];
    if (!path.empty()) return path;
    test::CwSynthOptions o;
    o.rate = rate;
    o.signal.text = "cq cq de dl1abc dl1abc k";
    while (o.signal.text.size() < 300) o.signal.text += " ur rst 579 name tom qth berlin hw";
    o.signal.wpm = 25;
    o.signal.level = 0.2;
    o.snrDb = 10.0;
    std::vector<double> samples = test::SynthesizeCw(o).samples;
    samples.resize(static_cast<std::size_t>(kSeconds * rate), 0.0);
    path = (std::filesystem::temp_directory_path() /
            ("quelp_bench_" + std::to_string(::getpid()) + "_" + std::to_string(rate) + ".wav"))
               .string();
    test::WriteSoundFile(path, samples, rate, test::SoundFormat::Pcm16Wav);
    return path;
}

struct Removal {
    ~Removal() {
        std::error_code ec;
        for (const int rate : {11025, 48000}) {
            std::filesystem::remove(std::filesystem::temp_directory_path() /
                                        ("quelp_bench_" + std::to_string(::getpid()) + "_" +
                                         std::to_string(rate) + ".wav"),
                                    ec);
        }
    }
} removal;

// A fresh application per decode, decoding as fast as it can.
struct UnpacedApp : test::FakeAppPorts {
    QuelpApp app{With(nullptr)};
    UnpacedApp() { app.SetFileDecodePacing(false); }
};

void Report(benchmark::State& state) {
    state.counters["audio_s"] =
        benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Decode48kRecording(benchmark::State& state) {
    const std::string& path = RecordingAt(48000);
    for (auto _ : state) {
        UnpacedApp run;
        QuelpApp& app = run.app;
        SndfileSource source;
        std::string error;
        if (!source.OpenFile(path, ChannelChoice::First, std::nullopt, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(app.DecodeSamples(source));
    }
    Report(state);
}
BENCHMARK(BM_Decode48kRecording)->Unit(benchmark::kMillisecond);

void BM_Decode11025WaveFile(benchmark::State& state) {
    const std::string& path = RecordingAt(11025);
    for (auto _ : state) {
        UnpacedApp run;
        QuelpApp& app = run.app;
        benchmark::DoNotOptimize(app.DecodeWaveFile(path));
    }
    Report(state);
}
BENCHMARK(BM_Decode11025WaveFile)->Unit(benchmark::kMillisecond);

void BM_Convert48kTo11025(benchmark::State& state) {
    const std::string& path = RecordingAt(48000);
    std::int16_t block[kBlockSize];
    for (auto _ : state) {
        SndfileSource source;
        std::string error;
        if (!source.OpenFile(path, ChannelChoice::First, std::nullopt, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        while (source.ReadBlock(block) > 0) benchmark::DoNotOptimize(block[0]);
    }
    Report(state);
}
BENCHMARK(BM_Convert48kTo11025)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quelp
