// quelp-cli: the headless decoder.
#include <cstdio>
#include <string>
#include <vector>

#include "ConsoleTextSink.h"
#include "ConsoleView.h"
#ifdef QUELP_LIVE
#include "Live.h"
#endif
#include "app/CliOptions.h"
#include "audio/WaveRead.h"

#ifndef QUELP_VERSION
#define QUELP_VERSION "unknown"
#endif

namespace {

using quelp::CliCommand;
using quelp::CliOptions;
using quelp::TWaveRead;
using quelp::cli::ConsoleView;

constexpr int kUsageError = 2;
constexpr int kFileError = 3;

std::string Describe(const TWaveRead& reader) {
    const auto& f = reader.Format();
    const double seconds = static_cast<double>(reader.OutputSamples()) / 11025.0;
    char buf[160];
    std::snprintf(buf, sizeof buf, "PCM %u-bit, %u channel%s, %u Hz, %.2f s", f.bitsPerSample,
                  f.channels, f.channels == 1 ? "" : "s", f.samplesPerSec, seconds);
    return buf;
}

// Opens one file as the decoder would and reports what it holds. Returns false
// when the file cannot be decoded; the view has then shown why.
bool CheckFile(const std::string& name, ConsoleView& view) {
    view.SetContext(name);
    TWaveRead reader;
    bool ok = false;
    if (reader.Open(name) != 0) {
        view.ShowMessage("File Open Error!", "File Error");
    } else if (const auto check = reader.CheckFormat(); check == TWaveRead::kUnsupportedFormat) {
        view.ShowMessage("Unsupported audio format!", "File Error");
    } else if (check == TWaveRead::kUnsupportedRate) {
        view.ShowMessage("Unsupported sample rate!", "File Error");
    } else {
        view.Info(name + ": " + Describe(reader));
        ok = true;
    }
    reader.Close();
    view.SetContext({});
    return ok;
}

quelp::CodePage TextEncoding(const CliOptions& o) {
    if (o.encoding) return *o.encoding;
    return o.charset == 1 ? quelp::CodePage::Cp1251 : quelp::CodePage::Cp1252;
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
            return quelp::cli::RunLive(o);
#else
            std::fprintf(stderr, "quelp-cli: live input is not available in this build\n");
            return 1;
#endif
        case CliCommand::Decode:
            break;
    }

    ConsoleView view(stderr, o.stats);
    quelp::cli::ConsoleTextSink text(stdout, TextEncoding(o));
    (void)text;
    int status = 0;
    for (const auto& file : o.files) {
        if (!CheckFile(file, view)) status = kFileError;
    }
    return status;
}
