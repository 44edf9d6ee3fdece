#pragma once
// One application object of `quelp-cli decode` with its console ports: set up
// from the settings and the options, then fed recordings one after another.
// A plain run has one for all its recordings; a parallel batch (-j) one per
// recording, each writing into buffers that the main thread prints in order.

#include <functional>
#include <optional>
#include <string>

#include "CliOptions.h"
#include "ConsoleReceiveText.h"
#include "ConsoleTextSink.h"
#include "ConsoleView.h"
#include "JsonLines.h"
#include "Output.h"
#include "Progress.h"
#include "RecordingClock.h"
#include "Waterfall.h"
#include "adapters/posix/SystemClock.h"
#include "app/QuelpApp.h"
#include "ports/CaptureSink.h"

namespace quelp::cli {

inline constexpr int kUsageError = 2;
inline constexpr int kFileError = 3;
inline constexpr int kOutputError = 4;

// The name of a recording in messages, labels and progress ("standard input"
// for "-").
std::string RecordingName(const std::string& file);

// The capture file of one recording of a parallel batch: kept in memory until
// the main thread appends it to the real file, in the order of the command
// line.
class MemoryCaptureSink final : public CaptureSink {
  public:
    bool Open(const std::string&) override { return open_ = true; }
    bool IsOpen() const override { return open_; }
    void Write(std::string_view bytes) override { bytes_.append(bytes); }
    bool Close() override {
        open_ = false;
        return true;
    }
    std::string Take() { return std::move(bytes_); }

  private:
    bool open_ = false;
    std::string bytes_;
};

class DecodeSession {
  public:
    // `capture`: where --capture writes (null: nowhere); `progress`: the
    // progress line (null: none); `drawProgress`: this session's thread
    // draws it (a plain run), else the main thread does.
    DecodeSession(const CliOptions& options, Output& text, Output& err, CaptureSink* capture,
                  Progress* progress, bool drawProgress);
    DecodeSession(const DecodeSession&) = delete;
    DecodeSession& operator=(const DecodeSession&) = delete;

    // The settings, the options, --time-marks, --multi and --capture; with
    // `saveSettings`, --save-settings too. 0, kUsageError or kFileError.
    int Start(bool saveSettings);

    // Runs when a recording has opened, before any of its text: its label.
    void OnOpened(std::function<void()> opened) { opened_ = std::move(opened); }
    // Decodes one recording (and writes its picture to `waterfallPath` unless
    // that is empty). 0 or kFileError.
    int Decode(const std::string& file, const std::string& waterfallPath);
    // The end: the multi-channel rows as plain text (with `rows`), the
    // capture file closed (with `closeCapture`). 0 or kFileError.
    int Finish(bool rows, bool closeCapture);

    // Any thread: the decode running ends after its block.
    void Stop() { app_.BeginClosing(); }

    ConsoleTextSink& Text() { return sink_; }
    const DecodeFigures& Last() const { return last_; }
    // The --stats line of a recording or of all of them.
    void PrintStats(const std::string& what, const DecodeFigures& figures);

  private:
    void Block(int slot, const std::string& waterfallPath);

    const CliOptions& o_;
    Output& err_;
    ConsoleView view_;
    ConsoleTextSink sink_;
    ConsoleReceiveText rx_{sink_};
    SystemClock machine_;
    RecordingClock clock_{machine_};
    ConsoleDialogs dialogs_;
    QuelpApp app_;
    JsonLines json_{sink_, app_};
    Progress* progress_;
    bool drawProgress_;
    std::function<void()> opened_;
    FileDecodeOptions decodeOptions_;
    DecodeFigures last_;

    // The recording being decoded.
    std::uint64_t blocks_ = 0;
    std::optional<Waterfall> waterfall_;
};

}  // namespace quelp::cli
