#pragma once
// The text capture file: opening and closing it from the menu, Alt+L and the
// command line, writing the decoded text into it, and the time marks and
// date lines that go before the text after word spaces.

#include <cstdint>
#include <string>
#include <string_view>

#include "ports/CaptureSink.h"
#include "ports/Clock.h"
#include "ports/FileDialogs.h"
#include "ports/MainView.h"

namespace quelp {

// Time marks in the text capture file.
struct TimeMarkOptions {
    int PutTimeMarks = 0;  // a time mark after a word space, once a minute
    int UseUTC = 1;        // marks in UTC rather than local time
};

// How closing the capture file went.
enum class [[nodiscard]] CaptureCloseResult{
    Closed,       // everything written: "Capture file was closed"
    WriteErrors,  // "There was errors in capture file!"
    NothingOpen,  // there was no file to close
    Busy,         // a close already running (from a nested message loop)
};

class TextCapture {
  public:
    // `sink` may be null (no file system access): every open then fails.
    TextCapture(const TimeMarkOptions& marks, MainView& view, Clock& clock, FileDialogs& dialogs,
                CaptureSink* sink);
    TextCapture(const TextCapture&) = delete;
    TextCapture& operator=(const TextCapture&) = delete;

    bool CaptureOpen() const { return captureOpen_; }

    void OpenCaptureFile1Click();
    // False (after "File Open Error!") when the file cannot be opened.
    bool OpenCaptureFileByName(const std::string& path);
    CaptureCloseResult CloseCaptureFile1Click();
    // Status panel 6: "", "CapT", "CapW" or "T+W".
    void ShowCaptureState();

    // Whether the wave capture is on; the wave capture sets it and calls
    // ShowCaptureState.
    bool WaveCaptureOn = false;

    // Writes emitted text while the capture is open; after a word space
    // (`wordSpace`) a time mark follows when time marks are on and a minute
    // has passed since the last one.
    void Write(std::string_view text, bool wordSpace);

    // Time marks were switched on: the next word space writes a mark.
    void TimeMarksSwitchedOn();

    struct MarkDate {
        int hour = 99;
        int day = 99;
        int month = 99;
        int year = 1;
    };
    // Tick of the last time mark, milliseconds since system start.
    std::uint32_t LastMarkTick = 0;
    // Hour and date of the last date line; a new hour or day writes one.
    MarkDate LastMarkDate;

  private:
    void WriteTimeMark();

    const TimeMarkOptions& marks_;
    MainView& view_;
    Clock& clock_;
    FileDialogs& dialogs_;
    CaptureSink* sink_;
    bool captureOpen_ = false;
    bool opening_ = false;
    bool closing_ = false;
};

}  // namespace quelp
