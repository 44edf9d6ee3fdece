#pragma once
// quelp-cli decode: the recordings in the order given, through one
// application object that carries the receiver's state from one into the
// next as the window does, or (-j) several at a time, each through an
// application object of its own, with the output printed in the order of the
// command line.

#include <string>

#include "CliOptions.h"

namespace quelp::cli {

// The exit status of the run.
int RunDecode(const CliOptions& options);

// The line before a recording's text when there are several: "==> NAME <==",
// after a blank line unless it is the first thing printed.
std::string FileLabel(const std::string& file, bool first);

}  // namespace quelp::cli
