// quelp-cli: the headless decoder. One function per subcommand; each builds
// the same application object as the window does, with console ports.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ConsoleReceiveText.h"
#include "ConsoleTextSink.h"
#include "ConsoleView.h"
#include "FileProblems.h"
#include "ReceiverOptions.h"
#ifdef QUELP_LIVE
#include "Live.h"
#endif
#include "CliOptions.h"
#include "adapters/posix/FileSync.h"
#include "adapters/posix/PosixCaptureSink.h"
#include "adapters/posix/SystemClock.h"
#include "app/QuelpApp.h"

#ifndef QUELP_VERSION
#define QUELP_VERSION "unknown"
#endif

namespace {

using quelp::CliCommand;
using quelp::CliOptions;
using quelp::QuelpApp;
using quelp::cli::ConsoleView;

constexpr int kUsageError = 2;
constexpr int kFileError = 3;
constexpr int kOutputError = 4;

int UsageError(const std::string& message) {
    std::fprintf(stderr, "quelp-cli: %s\n(quelp-cli --help shows the options)\n", message.c_str());
    return kUsageError;
}

// Options parsed already whose work is not part of this build yet; refused
// rather than silently ignored. Empty when everything asked for is there.
std::string RefusedForDecode(const CliOptions& o) {
    // The audio history holds live input only: after a file decode it would
    // save a minute of silence.
    if (o.historySaveDir) return "--history-save is for live input only";
    return quelp::cli::RefusedSettingsFile(o);
}

struct DecodeTotals {
    double audioSeconds = 0.0;
    double processSeconds = 0.0;
};

void PrintStats(const char* what, const DecodeTotals& t, const QuelpApp& app) {
    const quelp::ReceiverStatus status = app.Rx().Status();
    const quelp::SenderSpeed speed = status.Speed.value_or(quelp::SenderSpeed{});
    const double rate = t.audioSeconds / (t.processSeconds > 1e-6 ? t.processSeconds : 1e-6);
    const std::string freq = quelp::FrequencyText(status.SignalBin, status.SamplingFreq);
    std::fprintf(stderr,
                 "quelp-cli: %s: %.2f s of audio in %.3f s, %.1f times real time; "
                 "%.1f WPM, %lld LPM; %s\n",
                 what, t.audioSeconds, t.processSeconds, rate, speed.wpm, speed.lpm, freq.c_str());
}

// quelp-cli decode FILE.wav... : every file in turn through the receiver,
// which carries its state (speed, threshold, tuning) from one file into the
// next, as the window does.
int RunDecode(const CliOptions& o) {
    if (const std::string missing = RefusedForDecode(o); !missing.empty()) {
        return UsageError(missing);
    }

    ConsoleView view(stderr, o.stats);
    quelp::cli::ConsoleTextSink text(stdout, quelp::cli::TextCodePage(o, 0));
    quelp::cli::ConsoleReceiveText rx(text);
    quelp::SystemClock clock;
    quelp::cli::ConsoleDialogs dialogs;
    quelp::PosixCaptureSink captureFile;
    QuelpApp app({view, clock, dialogs, rx, &captureFile, nullptr});
    app.SetFileDecodePacing(o.realtime);

    // The start-up order of the window, without its command line and default
    // directory; a settings file is read only when one is named, and the
    // options below win over it.
    app.SetSettingsSync(&quelp::SyncFileToDisk);
    app.DeferredInit(quelp::StartupOptions::ForDecoder(o.settingsFile.value_or("")));

    std::string error;
    if (!quelp::cli::ApplyReceiverOptions(app, o, error)) return UsageError(error);
    // The table in force (an option or the settings file) decides the code page.
    text.SetCodePage(quelp::cli::TextCodePage(o, app.Rx().Params().Text.Charset));
    // Without a frequency the first block gives the spectrum to find the
    // signal in.
    quelp::FileDecodeOptions decodeOptions;
    decodeOptions.goToMaxAfterFirstBlock = !o.freqHz && !o.settingsFile;
    // The state in force after the options, written the way the window's
    // Save does, so that a settings file can be prepared from a shell.
    if (o.saveSettingsFile &&
        app.SaveSettingsTo(*o.saveSettingsFile) != quelp::SettingsSaveResult::Saved) {
        return kFileError;
    }
    if (o.multi) app.MultiChannelDecoder1Click();
    if (o.captureFile) {
        view.SetFileContext(*o.captureFile, quelp::cli::FileUse::Append);
        const bool opened = app.OpenCaptureFileByName(*o.captureFile);
        view.SetContext({});
        if (!opened) return kFileError;
    }

    // Decoded text that cannot be written is lost: the run ends.
    text.OnFailure([&app] { app.BeginClosing(); });

    int status = 0;
    DecodeTotals all;
    for (const std::string& file : o.files) {
        if (text.Failed()) break;
        view.SetFileContext(file, quelp::cli::FileUse::Read, true);
        const auto start = std::chrono::steady_clock::now();
        const quelp::FileDecodeResult result = app.DecodeWaveFile(file, decodeOptions);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        view.SetContext({});
        rx.EndLine();
        if (result != quelp::FileDecodeResult::Decoded) {
            status = kFileError;
            continue;
        }
        const DecodeTotals one{static_cast<double>(app.LastDecodeSamples()) / 11025.0,
                               took.count()};
        all.audioSeconds += one.audioSeconds;
        all.processSeconds += one.processSeconds;
        if (o.stats) PrintStats(file.c_str(), one, app);
    }
    if (o.stats && o.files.size() > 1) PrintStats("all files", all, app);
    if (o.multi) text.Append(app.MultiChannelText());

    if (app.CaptureOpen()) {
        // A capture file that could not be written whole is a failure too.
        view.SetContext(*o.captureFile);
        if (app.CloseCaptureFile1Click() == quelp::CaptureCloseResult::WriteErrors) {
            status = kFileError;
        }
    }
    if (text.Failed()) {
        std::fprintf(stderr, "quelp-cli: cannot write the text to standard output: %s\n",
                     text.FailureText().c_str());
        return kOutputError;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const quelp::CliParseResult parsed = quelp::ParseCliArgs(args);
    if (parsed.status != 0) {
        std::fprintf(stderr, "quelp-cli: %s\n%s\n", parsed.error.c_str(), parsed.hint.c_str());
        return kUsageError;
    }
    const CliOptions& o = parsed.options;
    switch (o.command) {
        case CliCommand::Help:
            std::fputs(quelp::CliUsage().c_str(), stdout);
            return 0;
        case CliCommand::Version:
            std::printf("quelp-cli %s\n", QUELP_VERSION);
            return 0;
        case CliCommand::Live:
#ifdef QUELP_LIVE
            return quelp::cli::RunLive(o, quelp::cli::ApplyReceiverOptions);
#else
            std::fprintf(stderr, "quelp-cli: live input is not available in this build\n");
            return 1;
#endif
        case CliCommand::Decode:
            return RunDecode(o);
    }
    return kUsageError;
}
