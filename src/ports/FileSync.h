#pragma once
// Port: flushing a file's (or a folder's) data to the disk, which needs the
// operating system. The settings save reaches it only through this pointer;
// the posix adapter's SyncFileToDisk is the real one.

#include <filesystem>

namespace quelp {

// Returns false on failure.
using FileSyncFn = bool (*)(const std::filesystem::path&);

// Does nothing and succeeds: the default when no platform sync is wired in.
inline bool NoFileSync(const std::filesystem::path&) {
    return true;
}

}  // namespace quelp
