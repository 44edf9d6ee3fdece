#pragma once
// quelp-cli live: decodes the sound card continuously through the same
// application object as the window, until SIGINT or SIGTERM.

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "CliOptions.h"
#include "app/QuelpApp.h"
#include "ports/SoundDriver.h"

namespace quelp::cli {

// Applies the receiver and text options (the same as for decode) to the
// application; false, with a one-line reason, stops the run as a usage error.
using ApplyOptions =
    std::function<bool(QuelpApp& app, const CliOptions& options, std::string& error)>;

// Exit status: 0 stopped by a signal (or --list-devices done); 1 the input
// device did not open or failed while running; 2 usage error (a device that
// is not there, a recording that exists without --overwrite); 3 the capture
// or record file could not be opened or written whole; 4 standard output
// could not be written.
int RunLive(const CliOptions& options, const ApplyOptions& applyOptions = {});

// "Input devices:" and "Output devices:", each followed by one line per
// device: its number, a colon and its name.
void ListSoundDevices(SoundDriver& input, SoundDriver& output, std::FILE* out);

// The device number for --device / --out-device: -1 (the default device)
// when not given; a number as given; a name matched exactly, or else by a
// unique part of it, ignoring case. Any device the driver lists can be
// chosen (the 0 to 9 rule is the settings file's). False, with a reason, when
// there is no such device.
bool ResolveSoundDevice(SoundDriver& driver, const std::optional<CliDevice>& wanted,
                        const std::string& option, int& number, std::string& error);

}  // namespace quelp::cli
