#include "DecodeSession.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "FileProblems.h"
#include "ReceiverOptions.h"
#include "Recording.h"
#include "adapters/png/PngWriter.h"
#include "adapters/posix/FileSync.h"

namespace quelp::cli {

std::string RecordingName(const std::string& file) {
    return file == kStandardInput ? "standard input" : file;
}

DecodeSession::DecodeSession(const CliOptions& options, Output& text, Output& err,
                             CaptureSink* capture, Progress* progress, bool drawProgress)
    : o_(options),
      err_(err),
      view_(err, options.stats),
      sink_(text, TextCodePage(options, 0)),
      app_({view_, clock_, dialogs_, rx_, capture, nullptr}),
      progress_(progress),
      drawProgress_(drawProgress) {}

int DecodeSession::Start(bool saveSettings) {
    app_.SetFileDecodePacing(o_.realtime);
    // The start-up order of the window, without its command line and default
    // directory; a settings file is read only when one is named, and the
    // options below win over it.
    app_.SetSettingsSync(&SyncFileToDisk);
    app_.DeferredInit(StartupOptions::ForDecoder(o_.settingsFile.value_or("")));

    std::string error;
    if (!ApplyReceiverOptions(app_, o_, error)) {
        static_cast<void>(
            err_.Write("quelp-cli: " + error + "\n(quelp-cli --help shows the options)\n"));
        return kUsageError;
    }
    // The table in force (an option or the settings file) decides the code page.
    sink_.SetCodePage(TextCodePage(o_, app_.Rx().Params().Text.Charset));
    if (o_.timeMarks) app_.SetTimeMarks(true);
    // Without a frequency the first block gives the spectrum to find the
    // signal in.
    decodeOptions_.goToMaxAfterFirstBlock = !o_.freqHz && !o_.settingsFile;
    // The state in force after the options, written the way the window's
    // Save does, so that a settings file can be prepared from a shell.
    if (saveSettings && o_.saveSettingsFile &&
        app_.SaveSettingsTo(*o_.saveSettingsFile) != SettingsSaveResult::Saved) {
        return kFileError;
    }
    if (o_.multi) app_.MultiChannelDecoder1Click();
    if (o_.captureFile) {
        view_.SetFileContext(*o_.captureFile, FileUse::Append);
        const bool opened = app_.OpenCaptureFileByName(*o_.captureFile);
        view_.SetContext({});
        if (!opened) return kFileError;
    }
    // Decoded text that cannot be written is lost: the run ends.
    sink_.OnFailure([this] { app_.BeginClosing(); });
    if (o_.json) rx_.Divert([this](std::string_view text) { json_.Text(text); });
    return 0;
}

void DecodeSession::Block(int slot, const std::string& waterfallPath) {
    // Called before the block's samples run: the blocks before it are done.
    if (progress_ != nullptr) {
        progress_->Advance(slot, blocks_ * kBlockSize);
        if (drawProgress_) progress_->Draw();
    }
    ++blocks_;
    if (!waterfallPath.empty()) {
        waterfall_->AddBlock(app_.Rx().Spectrum().SpectrumAvg, app_.Rx().Tune().SignalBin());
    }
}

int DecodeSession::Decode(const std::string& file, const std::string& waterfallPath) {
    const std::string name = RecordingName(file);
    view_.SetFileContext(name, FileUse::Read, true);
    Recording recording;
    std::string message;
    switch (OpenRecording(file, o_, recording, message)) {
        case OpenProblem::CannotOpen:
            view_.ShowMessage("File Open Error!", "File Error");
            view_.SetContext({});
            return kFileError;
        case OpenProblem::Unreadable:
            view_.Error(message);
            view_.SetContext({});
            return kFileError;
        case OpenProblem::None:
            break;
    }
    if (opened_) opened_();
    if (o_.json) json_.BeginFile(file);
    const std::uint64_t start = app_.Rx().SamplesIn();
    clock_.Follow(RecordingStart(recording.modified, o_.startSecond, machine_), [this, start] {
        return (app_.Rx().SamplesIn() - start) * 1000 / static_cast<std::uint64_t>(kFileRate);
    });
    // The first word space of every recording is marked, so that its marks
    // start from where it starts: switched on once the clock follows the
    // recording, so that the last mark is a minute before its start.
    if (app_.Params().Marks.PutTimeMarks != 0) app_.SetTimeMarks(true);
    blocks_ = 0;
    if (!waterfallPath.empty()) waterfall_.emplace();
    const int slot =
        progress_ != nullptr ? progress_->Begin(name, recording.outputSamples, kFileRate) : -1;
    view_.OnDisplay([this, slot, &waterfallPath] { Block(slot, waterfallPath); });

    const auto began = std::chrono::steady_clock::now();
    static_cast<void>(app_.DecodeSamples(recording.Source(), decodeOptions_));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - began;

    view_.OnDisplay(nullptr);
    if (progress_ != nullptr) progress_->End(slot);
    clock_.Release();
    if (!o_.json) rx_.EndLine();
    last_ = {static_cast<double>(app_.LastDecodeSamples()) / kFileRate, took.count()};

    int status = 0;
    if (!recording.ReadError().empty()) {
        char after[64];
        std::snprintf(after, sizeof after, "reading stopped after %.1f s: ", last_.audioSeconds);
        view_.Error(after + recording.ReadError());
        status = kFileError;
    }
    view_.SetContext({});
    if (o_.json) json_.EndFile(last_, o_.multi);
    if (o_.stats) PrintStats(name, last_);
    if (waterfall_) {
        const Picture picture = waterfall_->Render(kBlockSize / kFileRate, kFileRate);
        const std::string failure =
            WriteRgbPng(waterfallPath, picture.width, picture.height, picture.rgb);
        if (!failure.empty()) {
            static_cast<void>(err_.Write("quelp-cli: " + waterfallPath +
                                         ": cannot write the waterfall picture: " + failure +
                                         "\n"));
            status = kFileError;
        }
        waterfall_.reset();
    }
    return status;
}

void DecodeSession::PrintStats(const std::string& what, const DecodeFigures& t) {
    const ReceiverStatus status = app_.Rx().Status();
    SenderSpeed speed = status.Speed.value_or(SenderSpeed{});
    std::string freq = FrequencyText(status.SignalBin, status.SamplingFreq);
    if (app_.Rx().SelectedDecoder() == DecoderChoice::Adaptive) {
        // It keeps its own tuning and speed; the classic receiver's are idle.
        const AdaptiveDecoder& a = app_.Rx().Adaptive();
        speed.wpm = a.Wpm();
        speed.lpm = std::llround(5.0 * a.Wpm());
        freq = std::to_string(std::lround(a.FrequencyHz())) + " Hz";
    }
    char line[512];
    std::snprintf(line, sizeof line,
                  ": %.2f s of audio in %.3f s, %.1f times real time; %.1f WPM, %lld LPM; %s\n",
                  t.audioSeconds, t.processSeconds, t.TimesRealTime(), speed.wpm, speed.lpm,
                  freq.c_str());
    static_cast<void>(err_.Write("quelp-cli: " + what + line));
}

int DecodeSession::Finish(bool rows, bool closeCapture) {
    if (rows && o_.multi && !o_.json) sink_.Append(app_.MultiChannelText());
    int status = 0;
    if (closeCapture && app_.CaptureOpen()) {
        // A capture file that could not be written whole is a failure too.
        view_.SetContext(*o_.captureFile);
        if (app_.CloseCaptureFile1Click() == CaptureCloseResult::WriteErrors) status = kFileError;
        view_.SetContext({});
    }
    return status;
}

}  // namespace quelp::cli
