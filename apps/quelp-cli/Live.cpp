#include "Live.h"

#include <semaphore.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <thread>
#include <utility>

#include "ConsoleReceiveText.h"
#include "ConsoleTextSink.h"
#include "ConsoleView.h"
#include "FileProblems.h"
#include "ReceiverOptions.h"
#include "adapters/portaudio/PortAudioDriver.h"
#include "adapters/posix/FileSync.h"
#include "adapters/posix/PosixCaptureSink.h"
#include "adapters/posix/SystemClock.h"
#include "app/EventLoopQueue.h"
#include "app/StartupOptions.h"
#include "ports/FileDialogs.h"
#include "ports/ReceiveText.h"

namespace quelp::cli {

namespace {

constexpr int kDeviceError = 1;
constexpr int kUsageError = 2;
constexpr int kFileError = 3;
constexpr int kOutputError = 4;

// Posted to the main loop when a stop signal arrived or the input failed.
constexpr uint32_t kWakeUp = WM_BUFFERDONE + 1;

// A signal handler can reach nothing but what is global: it sets the flag
// and posts the semaphore (both safe inside a handler); a watcher thread
// does the rest.
std::atomic<bool> gStopRequested{false};
sem_t gStopSemaphore;

extern "C" void OnStopSignal(int) {
    gStopRequested.store(true);
    sem_post(&gStopSemaphore);
}

// SIGINT, SIGTERM and SIGHUP (a closed terminal or SSH session), while it
// lives, run `onStop` on a watcher thread of its own (the handler itself only
// sets the flag and posts the semaphore).
class StopSignals {
  public:
    explicit StopSignals(std::function<void()> onStop) {
        gStopRequested = false;
        sem_init(&gStopSemaphore, 0, 0);
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
        sigaction(SIGHUP, &action, &oldHup_);
        watcher_ = std::thread([this, onStop = std::move(onStop)] {
            while (sem_wait(&gStopSemaphore) != 0 && errno == EINTR) {
            }
            if (!closing_.load()) onStop();
        });
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    ~StopSignals() {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
        sigaction(SIGHUP, &oldHup_, nullptr);
        closing_ = true;
        sem_post(&gStopSemaphore);
        watcher_.join();
        sem_destroy(&gStopSemaphore);
    }

    bool Requested() const { return gStopRequested.load(); }

  private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
    struct sigaction oldHup_ {};
    std::atomic<bool> closing_{false};
    std::thread watcher_;
};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

void ListDirection(const char* heading, SoundDriver& driver, std::FILE* out) {
    std::fprintf(out, "%s\n", heading);
    const int count = driver.DeviceCount();
    if (count < 1) std::fprintf(out, "  (none)\n");
    for (int d = 0; d < count; ++d) {
        std::string name;
        if (!driver.ProductName(d, name)) name = "(unreadable)";
        std::fprintf(out, "  %d: %s\n", d, name.c_str());
    }
}

}  // namespace

void ListSoundDevices(SoundDriver& input, SoundDriver& output, std::FILE* out) {
    ListDirection("Input devices:", input, out);
    ListDirection("Output devices:", output, out);
    std::fflush(out);
}

bool ResolveSoundDevice(SoundDriver& driver, const std::optional<CliDevice>& wanted,
                        const std::string& option, int& number, std::string& error) {
    number = -1;
    if (!wanted) return true;
    const int count = driver.DeviceCount();
    if (wanted->index >= 0) {
        number = wanted->index;
    } else {
        int partial = -1;
        int partials = 0;
        const std::string key = Lower(wanted->name);
        for (int d = 0; d < count && number < 0; ++d) {
            std::string name;
            if (!driver.ProductName(d, name)) continue;
            if (name == wanted->name) {
                number = d;
            } else if (Lower(name).find(key) != std::string::npos) {
                partial = d;
                ++partials;
            }
        }
        if (number < 0 && partials == 1) number = partial;
        if (number < 0) {
            error = option + ": " +
                    (partials > 1 ? "'" + wanted->name + "' names more than one device"
                                  : "no device named '" + wanted->name + "'") +
                    " (see --list-devices)";
            return false;
        }
    }
    if (number >= count) {
        error = option + ": there is no device " + std::to_string(number) + " (see --list-devices)";
        return false;
    }
    return true;
}

int RunLive(const CliOptions& o, const ApplyOptions& applyOptions) {
    PortAudioDriver input(PortAudioDriver::Direction::Input);
    if (o.listDevices) {
        PortAudioDriver output(PortAudioDriver::Direction::Output);
        ListSoundDevices(input, output, stdout);
        return 0;
    }
    if (const std::string refused = RefusedSettingsFile(o); !refused.empty()) {
        std::fprintf(stderr, "quelp-cli: %s\n", refused.c_str());
        return kUsageError;
    }
    // A recording is never replaced unless the operator says so.
    std::error_code ec;
    if (o.recordFile && !o.overwrite && std::filesystem::exists(*o.recordFile, ec)) {
        std::fprintf(stderr, "quelp-cli: --record: %s exists (--overwrite replaces it)\n",
                     o.recordFile->c_str());
        return kUsageError;
    }

    // The output device is needed only when something may be played: asked
    // for here, or by a settings file.
    std::optional<PortAudioDriver> output;
    if (o.soundOut.value_or(0) != 0 || (o.settingsFile && !o.soundOut)) {
        output.emplace(PortAudioDriver::Direction::Output);
    }

    ConsoleView view(stderr, o.stats);
    ConsoleTextSink text(stdout, TextCodePage(o, 0));
    ConsoleReceiveText rx(text);
    SystemClock clock;
    ConsoleDialogs dialogs;
    PosixCaptureSink captureFile;
    EventLoopQueue events{WM_BUFFERDONE, kWakeUp};
    QuelpPorts ports{view, clock, dialogs, rx, &captureFile, nullptr};
    ports.soundInDriver = &input;
    ports.soundOutDriver = output ? &*output : nullptr;
    ports.events = &events;
    QuelpApp app(ports);
    app.SetSettingsSync(&SyncFileToDisk);

    // The window's start-up order; the options are applied once the settings
    // file (if any) is in force and before the devices open, so they win.
    int status = 0;
    std::string error;
    StartupOptions startup = StartupOptions::ForDecoder(o.settingsFile.value_or(""));
    startup.BeforeDevices = [&] {
        int inDevice = -1;
        int outDevice = -1;
        if ((applyOptions && !applyOptions(app, o, error)) ||
            !ResolveSoundDevice(input, o.device, "--device", inDevice, error) ||
            (output &&
             !ResolveSoundDevice(*output, o.outDevice, "--out-device", outDevice, error))) {
            // Nothing is opened after a usage error.
            status = kUsageError;
            return false;
        }
        // The table in force (an option or the settings file) decides the code page.
        text.SetCodePage(TextCodePage(o, app.Rx().Params().Text.Charset));
        if (o.channel) app.SetInputChannel(*o.channel);
        if (o.device) app.SetInputDevice(inDevice);
        if (o.outDevice) app.SetOutputDevice(outDevice);
        if (o.soundOut) app.SetSoundOutputCode(*o.soundOut);
        if (o.multi) app.MultiChannelDecoder1Click();
        if (o.timeMarks) app.SetTimeMarks(true);
        return true;
    };
    app.DeferredInit(startup);
    if (status != 0) {
        std::fprintf(stderr, "quelp-cli: %s\n", error.c_str());
        static_cast<void>(app.Shutdown());
        return status;
    }
    if (o.saveSettingsFile &&
        app.SaveSettingsTo(*o.saveSettingsFile) != SettingsSaveResult::Saved) {
        status = kFileError;
    }
    // The files are opened only once the input runs, so that a run that
    // cannot start leaves them alone.
    if (status == 0 && (app.SoundInput() == nullptr || !app.SoundInput()->IsOpen())) {
        status = kDeviceError;
    }
    if (status == 0 && o.captureFile) {
        view.SetFileContext(*o.captureFile, FileUse::Append);
        if (!app.OpenCaptureFileByName(*o.captureFile)) status = kFileError;
        view.SetContext({});
    }
    // The wave capture file: every live block after channel extraction.
    if (status == 0 && o.recordFile) {
        view.SetFileContext(*o.recordFile, FileUse::Append);
        if (!app.OpenWaveCaptureFileByName(*o.recordFile)) status = kFileError;
        view.SetContext({});
    }

    bool ended = false;
    WindowHooks hooks;
    hooks.endApplication = [&] {
        ended = true;
        events.Post(kWakeUp);
    };
    app.SetWindowHooks(std::move(hooks));

    // Closing begins on the watcher thread: the sound driver stops posting
    // and the main thread stops re-queueing buffers at once, so a main thread
    // that has fallen behind drains what is filled and comes back to the loop.
    StopSignals stop([&app, &events] {
        app.BeginClosing();
        events.Post(kWakeUp);
    });
    // Decoded text that cannot be written is lost: the run ends.
    text.OnFailure([&app, &events] {
        app.BeginClosing();
        events.Post(kWakeUp);
    });

    while (status == 0 && !ended && !stop.Requested() && !text.Failed()) {
        events.Wait();
        events.Dispatch([&app](uint32_t message) { app.HandleMessage(message); });
    }
    if (ended) status = kDeviceError;

    // Shut-down in the window's order: the output closes before the input
    // stops (every input buffer comes back), then the text capture file.
    bool closeFailed = app.Shutdown() == CaptureCloseResult::WriteErrors;
    if (app.WaveCaptureOpen()) {
        view.SetContext(*o.recordFile);
        closeFailed |= app.CloseWaveCaptureFile1Click() == WaveCloseResult::WriteErrors;
        view.SetContext({});
    }
    if (o.historySaveDir) {
        const std::string saved = app.SaveHistoryUnder(*o.historySaveDir, 60);
        if (saved.empty()) {
            status = status == 0 ? kFileError : status;
        } else if (o.stats) {
            std::fprintf(stderr, "quelp-cli: history saved to %s\n", saved.c_str());
        }
    }
    if (o.multi) text.Append(app.MultiChannelText());
    if (closeFailed && status == 0) status = kFileError;
    rx.EndLine();
    if (text.Failed()) {
        std::fprintf(stderr, "quelp-cli: cannot write the text to standard output: %s\n",
                     text.FailureText().c_str());
        if (status == 0) status = kOutputError;
    }
    return status;
}

}  // namespace quelp::cli
