#include "JsonLines.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "Recording.h"
#include "decoder/ScanWindow.h"
#include "dsp/Bins.h"

namespace quelp::cli {

namespace {

using Json = nlohmann::ordered_json;

// Seconds to the millisecond, speeds to a tenth: what the figures are worth
// (and printed as short as that, the quotient being the double nearest the
// decimal).
double Rounded(double x, double perUnit) {
    return std::round(x * perUnit) / perUnit;
}

Json Speed(const ReceiverStatus& status) {
    if (!status.Speed) return nullptr;
    return Rounded(status.Speed->wpm, 10);
}

}  // namespace

void JsonLines::BeginFile(std::string file) {
    file_ = std::move(file);
    startSamples_ = app_.Rx().SamplesIn();
    word_.clear();
}

double JsonLines::ElementEndSeconds() const {
    // The decoder has counted the pause since the last element ended.
    const std::uint64_t now = app_.Rx().SamplesIn() - startSamples_;
    const auto pause = static_cast<std::uint64_t>(
        std::max<std::int32_t>(0, app_.Rx().Decoder().State().SpaceCount));
    return static_cast<double>(now > pause ? now - pause : 0) / kFileRate;
}

void JsonLines::Text(std::string_view bytes) {
    if (bytes == " ") {
        if (!word_.empty()) Word(ElementEndSeconds());
        return;
    }
    for (const char c : bytes) {
        if (c != '\r' && c != '\n') word_ += c;
    }
    wordEnd_ = ElementEndSeconds();
}

void JsonLines::Word(double seconds) {
    const ReceiverStatus status = app_.Rx().Status();
    Json line;
    line["type"] = "word";
    line["file"] = file_;
    line["t"] = Rounded(seconds, 1000);
    line["text"] = CodePageToUtf8(sink_.Page(), word_);
    line["freq_hz"] = BinToHz(status.SignalBin, status.SamplingFreq);
    line["wpm"] = Speed(status);
    word_.clear();
    Line(line.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void JsonLines::EndFile(const DecodeFigures& figures, bool rows) {
    if (!word_.empty()) Word(wordEnd_);
    const ReceiverStatus status = app_.Rx().Status();
    if (rows) {
        const ScanWindow& grid = app_.Rx().FreqScan().Window();
        const int start = app_.Rx().FreqScan().ScanStartBin();
        for (int r = 0; r < ScanWindow::kRows; ++r) {
            const std::string_view text = grid.Row(r);
            if (text.empty()) continue;
            const int first = start + ScanWindow::kBinsPerRow * r;
            Json line;
            line["type"] = "row";
            line["file"] = file_;
            line["t"] = Rounded(figures.audioSeconds, 1000);
            line["row"] = r;
            line["lo_hz"] = BinToHz(first, status.SamplingFreq);
            line["hi_hz"] = BinToHz(first + ScanWindow::kBinsPerRow - 1, status.SamplingFreq);
            line["text"] = CodePageToUtf8(sink_.Page(), text);
            Line(line.dump(-1, ' ', false, Json::error_handler_t::replace));
        }
    }
    Json line;
    line["type"] = "summary";
    line["file"] = file_;
    line["duration_s"] = Rounded(figures.audioSeconds, 1000);
    line["decode_s"] = Rounded(figures.processSeconds, 1000);
    line["times_real_time"] = Rounded(figures.TimesRealTime(), 10);
    line["freq_hz"] = BinToHz(status.SignalBin, status.SamplingFreq);
    line["wpm"] = Speed(status);
    Line(line.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void JsonLines::Line(const std::string& json) {
    sink_.WriteUtf8(json + "\n");
}

}  // namespace quelp::cli
