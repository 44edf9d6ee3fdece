#pragma once
// Flushing a file to the disk needs the operating system; the core reaches it
// only through ProfileSaveOptions::sync. The application passes this function,
// which lives in the posix adapters (quelp_posix).

#include <filesystem>

namespace quelp {

// Flushes the data of a file, or the entries of a folder, to the disk
// (fsync). Returns false when the file cannot be opened or flushed.
bool SyncFileToDisk(const std::filesystem::path& path);

}  // namespace quelp
