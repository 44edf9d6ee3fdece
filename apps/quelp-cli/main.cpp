// quelp-cli: the headless decoder. One function per subcommand; each builds
// the same application object as the window does, with console ports.
#include <cstdio>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "DecodeRun.h"
#include "ReceiverOptions.h"
#ifdef QUELP_LIVE
#include "Live.h"
#endif

#ifndef QUELP_VERSION
#define QUELP_VERSION "unknown"
#endif

namespace {

using quelp::CliCommand;
using quelp::CliOptions;

constexpr int kUsageError = 2;

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
            return quelp::cli::RunLive(o, quelp::cli::ApplyReceiverOptions);
#else
            std::fprintf(stderr, "quelp-cli: live input is not available in this build\n");
            return 1;
#endif
        case CliCommand::Decode:
            return quelp::cli::RunDecode(o);
    }
    return kUsageError;
}
