#pragma once
// The audio history: a ring of the most recent live input blocks, so the last
// seconds can be replayed or saved after the fact.

#include <cstdint>
#include <string>
#include <vector>

#include "dsp/Bins.h"

namespace quelp {

// Result of TWaveBuff::Allocate.
enum class [[nodiscard]] HistoryAllocateResult : int{
    Ok = 0,
    NoMemory = 1,  // and then there is no history
};

// Result of TWaveBuff::Store.
enum class [[nodiscard]] HistoryStoreResult : int{
    Ok = 0,
    NoHistory = 1,
};

// Result of TWaveBuff::SaveToFile.
enum class [[nodiscard]] HistorySaveResult : int{
    Ok = 0,
    CannotCreate = 1,  // the file cannot be created (or there is no history)
    WriteFailed = 2,
};

class TWaveBuff {
  public:
    static constexpr int kBlockSamples = kBlockSize;
    // Longest ring accepted (about 3.2 hours at 11025 Hz, 512 MiB); a larger
    // request is treated like memory that cannot be had.
    static constexpr int64_t kMaxBlocks = 65536;

    // Allocates trunc(seconds × rate / 2048 + 3) zeroed blocks (seconds below 1
    // count as 1).
    HistoryAllocateResult Allocate(int32_t seconds, double rate);
    // Copies one block of 2048 samples over the oldest.
    HistoryStoreResult Store(const int16_t* block);
    // Writes the last trunc(s × rate / 2048 + 1) blocks, oldest first, as a
    // 16-bit mono 11025 Hz WAV file.
    HistorySaveResult SaveToFile(const std::string& fileName, int32_t seconds) const;
    // History length asked for at allocation; 0 when there is none.
    int32_t Seconds() const { return seconds_; }
    int32_t BlockCount() const { return ring_.empty() ? 0 : lastBlock_ + 1; }

  private:
    void Discard();

    int32_t seconds_ = 0;
    int32_t lastBlock_ = 0;
    int32_t nextBlock_ = 0;
    std::vector<int16_t> ring_;
    double rate_ = 11025.0;
};

}  // namespace quelp
