// Fuzz entry of the command-line parser: the input is split into arguments
// at every NUL byte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CliOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    const quelp::CliParseResult r = quelp::ParseCliArgs(args);
    // A usage error always says why; a success never does.
    if ((r.status == 0) != r.error.empty()) __builtin_trap();
    if (r.status != 0 && r.status != 2) __builtin_trap();
    return 0;
}
