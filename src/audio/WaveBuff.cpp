#include "audio/WaveBuff.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>

#include "audio/WaveWrite.h"

namespace quelp {

void TWaveBuff::Discard() {
    seconds_ = 0;
    lastBlock_ = 0;
    nextBlock_ = 0;
    ring_.clear();
    ring_.shrink_to_fit();
}

HistoryAllocateResult TWaveBuff::Allocate(int32_t seconds, double rate) {
    if (seconds < 1) seconds = 1;
    Discard();
    const double blocks = std::trunc(seconds * rate / kBlockSamples + 3);
    if (!std::isfinite(blocks) || blocks < 1 || blocks > static_cast<double>(kMaxBlocks)) {
        return HistoryAllocateResult::NoMemory;
    }
    const auto count = static_cast<int32_t>(blocks);
    try {
        ring_.assign(static_cast<size_t>(count) * kBlockSamples, 0);
    } catch (const std::bad_alloc&) {
        Discard();
        return HistoryAllocateResult::NoMemory;
    } catch (const std::length_error&) {
        Discard();
        return HistoryAllocateResult::NoMemory;
    }
    seconds_ = seconds;
    lastBlock_ = count - 1;
    nextBlock_ = 0;
    rate_ = rate;
    return HistoryAllocateResult::Ok;
}

HistoryStoreResult TWaveBuff::Store(const int16_t* block) {
    if (ring_.empty()) return HistoryStoreResult::NoHistory;
    std::memcpy(ring_.data() + static_cast<size_t>(nextBlock_) * kBlockSamples, block,
                kBlockSamples * sizeof(int16_t));
    if (++nextBlock_ > lastBlock_) nextBlock_ = 0;
    return HistoryStoreResult::Ok;
}

HistorySaveResult TWaveBuff::SaveToFile(const std::string& fileName, int32_t seconds) const {
    if (ring_.empty()) return HistorySaveResult::CannotCreate;
    const int32_t s = std::min(seconds, seconds_);
    const int32_t ringBlocks = lastBlock_ + 1;
    // Never more than the ring holds, whatever rate the ring was sized for.
    const auto blocks = static_cast<int32_t>(std::clamp(std::trunc(s * rate_ / kBlockSamples + 1),
                                                        0.0, static_cast<double>(ringBlocks)));
    int32_t index = nextBlock_ - blocks;
    if (index < 0) index += ringBlocks;

    TWaveWrite writer;
    if (writer.Create(fileName, 1, 16, 11025) != WaveCreateResult::Ok) {
        return HistorySaveResult::CannotCreate;
    }
    for (int32_t i = 0; i < blocks; ++i) {
        if (writer.Write(ring_.data() + static_cast<size_t>(index) * kBlockSamples,
                         kBlockSamples) != WaveWriteResult::Ok) {
            return HistorySaveResult::WriteFailed;
        }
        if (++index > lastBlock_) index = 0;
    }
    return writer.Close() == WaveHeaderResult::Ok ? HistorySaveResult::Ok
                                                  : HistorySaveResult::WriteFailed;
}

}  // namespace quelp
