#include "DecodeRun.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "DecodeSession.h"
#include "FileProblems.h"
#include "Output.h"
#include "Progress.h"
#include "Waterfall.h"
#include "adapters/posix/PosixCaptureSink.h"

namespace quelp::cli {

namespace {

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
    return RefusedSettingsFile(o);
}

int OutputFailed(ConsoleTextSink& text) {
    std::fprintf(stderr, "quelp-cli: cannot write the text to standard output: %s\n",
                 text.FailureText().c_str());
    return kOutputError;
}

struct Run {
    const CliOptions& o;
    std::vector<std::string> pictures;  // per recording; empty: no picture
    Output& out;
    Output& err;
    Progress& progress;
    bool labels;  // several recordings of plain text
};

// The recordings one after another through one application object.
int RunInTurn(const Run& run) {
    const CliOptions& o = run.o;
    PosixCaptureSink capture;
    DecodeSession session(o, run.out, run.err, &capture, &run.progress, true);
    if (const int status = session.Start(true)) return status;

    bool first = true;
    std::string current;
    session.OnOpened([&] {
        if (!run.labels) return;
        session.Text().WriteUtf8(FileLabel(current, first));
        first = false;
    });
    int status = 0;
    DecodeFigures all;
    for (std::size_t i = 0; i < o.files.size() && !session.Text().Failed(); ++i) {
        current = o.files[i];
        if (const int s = session.Decode(o.files[i], run.pictures[i])) {
            status = s;
            continue;
        }
        all.audioSeconds += session.Last().audioSeconds;
        all.processSeconds += session.Last().processSeconds;
    }
    if (o.stats && o.files.size() > 1) session.PrintStats("all files", all);
    if (const int s = session.Finish(true, true)) status = s;
    if (session.Text().Failed()) return OutputFailed(session.Text());
    return status;
}

// One recording of a parallel batch: its output waits in buffers until the
// main thread prints it, after the recordings before it.
struct Job {
    Output text;
    Output err;
    MemoryCaptureSink capture;
    std::string captured;
    std::atomic<bool> opened{false};
    // Guarded by the batch's lock.
    bool done = false;
    int status = 0;
    bool decoded = false;
    DecodeFigures figures;
    DecodeSession* session = nullptr;
};

int RunInParallel(const Run& run) {
    const CliOptions& o = run.o;
    // The main thread's own application object checks the options once,
    // writes --save-settings and holds the capture file, to which the
    // recordings' captures are appended in order.
    PosixCaptureSink capture;
    DecodeSession main(o, run.out, run.err, &capture, nullptr, false);
    if (const int status = main.Start(true)) return status;

    const std::size_t count = o.files.size();
    std::vector<std::unique_ptr<Job>> jobs;
    for (std::size_t i = 0; i < count; ++i) jobs.push_back(std::make_unique<Job>());
    std::size_t threads = *o.jobs > 0 ? static_cast<std::size_t>(*o.jobs)
                                      : std::max(1u, std::thread::hardware_concurrency());
    threads = std::min(threads, count);

    std::mutex lock;
    std::condition_variable changed;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            Job& job = *jobs[i];
            int status = 0;
            if (!stop) {
                DecodeSession session(o, job.text, job.err, o.captureFile ? &job.capture : nullptr,
                                      &run.progress, false);
                session.OnOpened([&job] { job.opened = true; });
                {
                    const std::lock_guard guard(lock);
                    job.session = &session;
                }
                status = session.Start(false);
                if (status == 0 && !stop) {
                    status = session.Decode(o.files[i], run.pictures[i]);
                    job.decoded = status == 0;
                    job.figures = session.Last();
                    if (const int s = session.Finish(true, false)) status = s;
                }
                const std::lock_guard guard(lock);
                job.session = nullptr;
            }
            job.captured = job.capture.Take();
            {
                const std::lock_guard guard(lock);
                job.status = status;
                job.done = true;
            }
            changed.notify_all();
        }
    };
    const auto began = std::chrono::steady_clock::now();
    std::vector<std::thread> pool;
    for (std::size_t t = 0; t < threads; ++t) pool.emplace_back(work);

    int status = 0;
    bool first = true;
    DecodeFigures all;
    ConsoleTextSink& text = main.Text();
    for (std::size_t i = 0; i < count; ++i) {
        Job& job = *jobs[i];
        bool labelled = false;
        for (bool done = false; !done;) {
            {
                std::unique_lock guard(lock);
                changed.wait_for(guard, std::chrono::milliseconds(100), [&] { return job.done; });
                done = job.done;
            }
            const std::string messages = job.err.Take();
            const std::string decoded = job.text.Take();
            if (!messages.empty()) static_cast<void>(run.err.Write(messages));
            // The label goes first, once the recording has opened and
            // before any of its text.
            if (run.labels && job.opened && !labelled && (done || !decoded.empty())) {
                text.WriteUtf8(FileLabel(o.files[i], first));
                first = false;
                labelled = true;
            }
            if (!decoded.empty()) text.WriteUtf8(decoded);
            if (text.Failed() && !stop.exchange(true)) {
                // The text is being lost: every decode ends after its block.
                const std::lock_guard guard(lock);
                for (const auto& other : jobs) {
                    if (other->session != nullptr) other->session->Stop();
                }
            }
            run.progress.Draw();
        }
        if (!job.captured.empty()) capture.Write(job.captured);
        if (job.status != 0) status = job.status;
        if (job.decoded) all.audioSeconds += job.figures.audioSeconds;
    }
    for (std::thread& t : pool) t.join();
    run.progress.Clear();

    if (o.stats && count > 1) {
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - began;
        all.processSeconds = took.count();
        char line[256];
        std::snprintf(line, sizeof line,
                      "quelp-cli: all files: %.2f s of audio in %.3f s, %.1f times real time "
                      "on %zu threads\n",
                      all.audioSeconds, all.processSeconds, all.TimesRealTime(), threads);
        static_cast<void>(run.err.Write(line));
    }
    if (const int s = main.Finish(false, true)) status = s;
    if (text.Failed()) return OutputFailed(text);
    return status;
}

}  // namespace

std::string FileLabel(const std::string& file, bool first) {
    return std::string(first ? "" : "\n") + "==> " + RecordingName(file) + " <==\n";
}

int RunDecode(const CliOptions& o) {
    if (const std::string refused = RefusedForDecode(o); !refused.empty()) {
        return UsageError(refused);
    }
    std::vector<std::string> pictures(o.files.size());
    if (o.waterfallFile) pictures = WaterfallPaths(*o.waterfallFile, o.files);

    Output out(stdout);
    Output err(stderr);
    Progress progress(
        ShowProgress(o.json, ::isatty(STDERR_FILENO) == 1, ::isatty(STDOUT_FILENO) == 1) ? stderr
                                                                                         : nullptr);
    // A message erases the progress line first; the next block redraws it.
    err.BeforeWrite([&progress] { progress.Clear(); });
    const Run run{o, pictures, out, err, progress, o.files.size() > 1 && !o.json};
    return o.jobs ? RunInParallel(run) : RunInTurn(run);
}

}  // namespace quelp::cli
