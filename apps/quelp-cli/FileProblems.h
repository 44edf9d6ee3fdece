#pragma once
// What is wrong with a file the operator named, in the words of the system,
// for the command-line program's messages: the core says "File Open Error!",
// the program adds which file and why.

#include <string>

#include "CliOptions.h"

namespace quelp::cli {

enum class FileUse { Read, Append };

// Why `path` cannot be used as `use` says: "no such file", "is a directory",
// "not a regular file", "permission denied", "not a WAV file" (reading a
// recording), ...; empty when nothing is visibly wrong with it.
std::string DescribeFileProblem(const std::string& path, FileUse use, bool recording);

// Why a settings file cannot be read ("no such file", "permission denied",
// "larger than 16 MiB", ...); empty when it loads.
std::string SettingsFileProblem(const std::string& path);

// Why --settings cannot be used: the window starts from the defaults when its
// settings file is missing, but from a shell a mistyped path is far likelier
// (unless the same file is about to be written), and a file that exists but
// cannot be read must not silently give the defaults. Empty when usable.
std::string RefusedSettingsFile(const CliOptions& options);

}  // namespace quelp::cli
