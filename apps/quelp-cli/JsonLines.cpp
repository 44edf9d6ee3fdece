#include "JsonLines.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>
#include <tuple>
#include <utility>

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

Json Speed(std::optional<double> wpm) {
    if (!wpm) return nullptr;
    return Rounded(*wpm, 10);
}

// The frequency and speed of the decoder in use: the adaptive decoder keeps
// its own.
// (Whole hertz: what the classic receiver's bins are worth.)
std::pair<double, std::optional<double>> Tuning(const Receiver& rx) {
    if (rx.SelectedDecoder() == DecoderChoice::Adaptive) {
        return {rx.Adaptive().FrequencyHz(), rx.Adaptive().Wpm()};
    }
    const ReceiverStatus status = rx.Status();
    std::optional<double> wpm;
    if (status.Speed) wpm = status.Speed->wpm;
    return {BinToHz(status.SignalBin, status.SamplingFreq), wpm};
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

void JsonLines::Heard() {
    const Receiver& rx = app_.Rx();
    if (rx.SelectedDecoder() == DecoderChoice::Adaptive) {
        // It prints late (after settling, after its search's lag): the
        // character carries its own moment and tuning.
        const AdaptiveCharacter c = rx.AdaptiveLastCharacter();
        const std::int64_t into = c.endSample - static_cast<std::int64_t>(startSamples_);
        wordEnd_ = static_cast<double>(std::max<std::int64_t>(0, into)) / kFileRate;
        wordHz_ = c.frequencyHz;
        wordWpm_ = c.wpm;
        return;
    }
    wordEnd_ = ElementEndSeconds();
    std::tie(wordHz_, wordWpm_) = Tuning(rx);
}

void JsonLines::Text(std::string_view bytes) {
    if (bytes == " ") {
        if (!word_.empty()) Word();
        return;
    }
    for (const char c : bytes) {
        if (c != '\r' && c != '\n') word_ += c;
    }
    Heard();
}

void JsonLines::Word() {
    Json line;
    line["type"] = "word";
    line["file"] = file_;
    line["t"] = Rounded(wordEnd_, 1000);
    line["text"] = CodePageToUtf8(sink_.Page(), word_);
    line["freq_hz"] = std::lround(wordHz_);
    line["wpm"] = Speed(wordWpm_);
    word_.clear();
    Line(line.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void JsonLines::EndFile(const DecodeFigures& figures, bool rows) {
    if (!word_.empty()) Word();
    const ReceiverStatus status = app_.Rx().Status();
    const auto [hz, wpm] = Tuning(app_.Rx());
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
    line["freq_hz"] = std::lround(hz);
    line["wpm"] = Speed(wpm);
    Line(line.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void JsonLines::Line(const std::string& json) {
    sink_.WriteUtf8(json + "\n");
}

}  // namespace quelp::cli
