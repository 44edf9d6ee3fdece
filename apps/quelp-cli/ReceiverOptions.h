#pragma once
// Turns the receiver and text options of the command line into the
// application's state, through the same operations the window's controls
// use. Shared by the subcommands that run the receiver (decode, live).

#include <string>

#include "CliOptions.h"
#include "app/QuelpApp.h"
#include "text/CodePage.h"

namespace quelp::cli {

// Applies every option given; options not given leave the state alone (the
// built-in defaults or what a settings file set). Returns false, with a one
// line reason in `error`, when an option cannot be honoured (a frequency
// outside the tunable band at the rate in force, a character table file that
// does not load); nothing is changed then.
bool ApplyReceiverOptions(QuelpApp& app, const CliOptions& options, std::string& error);

// The code page of the text on standard output: --encoding when given;
// otherwise that of the receive window's default font (Windows-1251), except
// for the Swedish table, whose letters are Western (Windows-1252).
CodePage TextCodePage(const CliOptions& options, int charsetInForce);

}  // namespace quelp::cli
