#include "text/TextCapture.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace quelp {

namespace {
// Indexed by (month - 1) AND 15, so a broken month can never read outside.
constexpr std::array<const char*, 16> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec",
                                                     "???", "???", "???", "???"};

// Minimum distance of two time marks, ms.
constexpr std::uint32_t kMarkInterval = 60000;

// Writes what snprintf produced, cut to the buffer when it did not fit.
void WriteFormatted(CaptureSink& sink, const char* buffer, std::size_t size, int n) {
    if (n <= 0) return;
    const std::size_t length = std::min(static_cast<std::size_t>(n), size - 1);
    sink.Write(std::string_view(buffer, length));
}
}  // namespace

TextCapture::TextCapture(const TimeMarkOptions& marks, MainView& view, Clock& clock,
                         FileDialogs& dialogs, CaptureSink* sink)
    : marks_(marks), view_(view), clock_(clock), dialogs_(dialogs), sink_(sink) {}

void TextCapture::OpenCaptureFile1Click() {
    // The dialog runs its own message loop, through which Alt+L can come back.
    if (opening_) return;
    opening_ = true;
    FileDialogRequest request;
    request.title = "Open text capture file";
    request.filter = "Text files|*.txt|All files|*.*";
    const auto path = dialogs_.AskSave(request);
    if (path) OpenCaptureFileByName(*path);
    opening_ = false;
}

bool TextCapture::OpenCaptureFileByName(const std::string& path) {
    // One capture file at a time: an open one is closed first, so its
    // handle is never lost and its errors are still reported.
    if (captureOpen_ || (sink_ != nullptr && sink_->IsOpen())) {
        static_cast<void>(CloseCaptureFile1Click());
    }
    if (sink_ == nullptr || !sink_->Open(path)) {
        view_.ShowMessage("File Open Error!", "File Error");
        return false;
    }
    captureOpen_ = true;
    view_.SetEnabled(UiItem::OpenCaptureFile1, false);
    view_.SetEnabled(UiItem::CloseCaptureFile1, true);
    ShowCaptureState();
    return true;
}

CaptureCloseResult TextCapture::CloseCaptureFile1Click() {
    if (closing_) return CaptureCloseResult::Busy;
    closing_ = true;
    captureOpen_ = false;  // no more text goes in
    CaptureCloseResult result = CaptureCloseResult::NothingOpen;
    if (sink_ != nullptr && sink_->IsOpen()) {
        if (sink_->Close()) {
            result = CaptureCloseResult::Closed;
            view_.ShowMessage("Capture file was closed", "File Closed");
        } else {
            result = CaptureCloseResult::WriteErrors;
            view_.ShowMessage("There was errors in capture file!", "File Error");
        }
    }
    view_.SetEnabled(UiItem::OpenCaptureFile1, true);
    view_.SetEnabled(UiItem::CloseCaptureFile1, false);
    ShowCaptureState();
    closing_ = false;
    return result;
}

void TextCapture::ShowCaptureState() {
    const char* text = "";
    if (captureOpen_ && WaveCaptureOn) {
        text = "T+W";
    } else if (captureOpen_) {
        text = "CapT";
    } else if (WaveCaptureOn) {
        text = "CapW";
    }
    view_.SetStatusText(panel::Capture, text);
}

void TextCapture::Write(std::string_view text, bool wordSpace) {
    if (!captureOpen_ || sink_ == nullptr) return;
    sink_->Write(text);
    if (!wordSpace || marks_.PutTimeMarks == 0) return;
    const std::uint32_t now = clock_.TickMs();
    if (static_cast<std::uint32_t>(now - LastMarkTick) < kMarkInterval) return;
    LastMarkTick = now;
    WriteTimeMark();
}

void TextCapture::WriteTimeMark() {
    const CivilTime t = clock_.Now(marks_.UseUTC != 0);
    std::array<char, 96> line{};
    if (t.hour != LastMarkDate.hour || t.day != LastMarkDate.day || t.month != LastMarkDate.month ||
        t.year != LastMarkDate.year) {
        const int n = std::snprintf(line.data(), line.size(), "\r\n<*** %02d-%s-%d ***>", t.day,
                                    kMonthNames[static_cast<unsigned>(t.month - 1) & 15u], t.year);
        WriteFormatted(*sink_, line.data(), line.size(), n);
        LastMarkDate = MarkDate{t.hour, t.day, t.month, t.year};
    }
    const int n = std::snprintf(line.data(), line.size(), "\r\n<%02d:%02d:%02d> ", t.hour, t.minute,
                                t.second);
    WriteFormatted(*sink_, line.data(), line.size(), n);
}

void TextCapture::TimeMarksSwitchedOn() {
    LastMarkTick = clock_.TickMs() - 61000u;
}

}  // namespace quelp
