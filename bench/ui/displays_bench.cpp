// Drawing cost of the spectrum (after each block) and the oscilloscope (at
// each 20 ms tick) in a window whose pictures are 1000 pixels wide, from the
// application's arrays into the off-screen images, as the window draws them.
// The spectrum has a signal in noise in it; the oscilloscope's ring is full.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "app/QuelpApp.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/ToneBlock.h"
#include "ui/TRxForm.h"

namespace quelp {
namespace {

constexpr int kWidth = 1000;

// The window and its application, started, with some blocks through it.
struct Window {
    ui::TRxForm form;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    QuelpApp app{{form, clock, dialogs, form.Memo()}};
    std::vector<std::int16_t> block = test::ToneBlock(250, 4000.0, 2000.0);

    Window() {
        form.Attach(app, {"quelp"}, std::filesystem::temp_directory_path());
        form.resize(kWidth, 600);
        form.show();
        QCoreApplication::processEvents();
        app.DeferredInit(StartupOptions::ForDecoder(
            (std::filesystem::temp_directory_path() / "quelp-bench-none.ini").string()));
        form.Timer1().stop();
        app.ResumeDisplays();
        for (int i = 0; i < 20; ++i) app.ProcessBlock(block.data(), 1);
    }
};

void BM_RepaintSpectrum(benchmark::State& state) {
    Window w;
    w.app.SetZoom(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        w.form.RepaintSpectrum();
        benchmark::DoNotOptimize(w.form.FftBox()->Image().constBits());
    }
    state.counters["width"] = w.form.FftBox()->width();
    state.counters["height"] = w.form.FftBox()->height();
}
BENCHMARK(BM_RepaintSpectrum)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_RepaintOscilloscope(benchmark::State& state) {
    Window w;
    ui::OscilloscopeBox* osc = w.form.PaintBox1();
    for (auto _ : state) {
        // Each block brings nine entries, one drawn per tick.
        if (!osc->RepaintOscilloscope(false)) {
            state.PauseTiming();
            w.app.ProcessBlock(w.block.data(), 1);
            state.ResumeTiming();
            osc->RepaintOscilloscope(false);
        }
        benchmark::DoNotOptimize(osc->Image().constBits());
    }
    state.counters["width"] = osc->width();
    state.counters["height"] = osc->height();
}
BENCHMARK(BM_RepaintOscilloscope)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quelp

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
