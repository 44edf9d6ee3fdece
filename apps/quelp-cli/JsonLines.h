#pragma once
// --json: the decoded text as one JSON object per line, a word at a time as
// each ends, with where in the recording it ended, the receive frequency and
// the speed; the multi-channel rows and a summary at the end of a recording.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ConsoleTextSink.h"
#include "app/QuelpApp.h"

namespace quelp::cli {

// How a recording's decode went, for the summary line (and --stats).
struct DecodeFigures {
    double audioSeconds = 0.0;
    double processSeconds = 0.0;
    double TimesRealTime() const {
        return audioSeconds / (processSeconds > 1e-6 ? processSeconds : 1e-6);
    }
};

class JsonLines {
  public:
    // The lines go to `sink` (UTF-8 as they are); the receiver's state is
    // read from `app` when a word ends.
    JsonLines(ConsoleTextSink& sink, const QuelpApp& app) : sink_(sink), app_(app) {}

    // A recording starts; its words are timed from this moment of the input.
    void BeginFile(std::string file);
    // Decoded text in the table's code page, as the receive text gets it: a
    // lone blank is a word space.
    void Text(std::string_view bytes);
    // The recording ended: a word the decoder has not closed yet, the
    // channel rows (with --multi) and the summary.
    void EndFile(const DecodeFigures& figures, bool rows);

  private:
    // Samples into the recording up to the end of the last element.
    double ElementEndSeconds() const;
    // The decoder in use heard the character just decoded: where it ended,
    // and the frequency and speed it was heard at.
    void Heard();
    void Word();
    void Line(const std::string& json);

    ConsoleTextSink& sink_;
    const QuelpApp& app_;
    std::string file_;
    std::uint64_t startSamples_ = 0;
    std::string word_;  // bytes in the table's code page
    double wordEnd_ = 0.0;
    double wordHz_ = 0.0;
    std::optional<double> wordWpm_;
};

}  // namespace quelp::cli
