#pragma once
// Writes 16-bit PCM WAV files with the classic 44-byte header and keeps the
// header's sizes current while recording, so a file whose recording is cut
// off still plays.

#include <cstdint>
#include <fstream>
#include <string>

namespace quelp {

// Result of TWaveWrite::Create. After a failure nothing is open.
enum class [[nodiscard]] WaveCreateResult : int{
    Ok = 0,
    CannotCreate = 1,  // the file cannot be created
    // 2..14: the header field that could not be written, in header order.
    RiffIdNotWritten = 2,
    RiffSizeNotWritten = 3,
    WaveIdNotWritten = 4,
    FmtIdNotWritten = 5,
    FmtSizeNotWritten = 6,
    FormatTagNotWritten = 7,
    ChannelsNotWritten = 8,
    SampleRateNotWritten = 9,
    BytesPerSecNotWritten = 10,
    BlockAlignNotWritten = 11,
    BitsPerSampleNotWritten = 12,
    DataIdNotWritten = 13,
    DataSizeNotWritten = 14,
};

// Result of TWaveWrite::Write.
enum class [[nodiscard]] WaveWriteResult : int{
    Ok = 0,
    NotOpen = 1,      // nothing was written
    WriteFailed = 2,  // short write or failed header refresh; the file is closed
};

// Result of TWaveWrite::UpdateHeader and TWaveWrite::Close. Any failure
// closes the file.
enum class [[nodiscard]] WaveHeaderResult : int{
    Ok = 0,
    NotOpen = 1,  // not open, or the seek to the riff size failed
    RiffSizeNotWritten = 2,
    DataSizeSeekFailed = 3,  // seek to 40 failed
    DataSizeNotWritten = 4,
    SeekBackFailed = 5,   // seek back (or the flush after it) failed
    PositionUnknown = 6,  // the current position could not be read
    CloseFailed = 7,      // Close only: closing the file failed
};

class TWaveWrite {
  public:
    // Bytes written between header refreshes: 30 s of 16-bit mono at 11025 Hz.
    static constexpr uint32_t kRefreshBytes = 661500;

    TWaveWrite() = default;
    ~TWaveWrite();
    TWaveWrite(const TWaveWrite&) = delete;
    TWaveWrite& operator=(const TWaveWrite&) = delete;

    WaveCreateResult Create(const std::string& fileName, uint16_t channels, uint16_t bitsPerSample,
                            uint32_t sampleRate);
    // Writes `count` frames.
    WaveWriteResult Write(const int16_t* samples, uint32_t count);
    // Writes the current sizes into the header.
    WaveHeaderResult UpdateHeader();
    // Updates the header and closes.
    WaveHeaderResult Close();

    bool IsOpen() const { return file_.is_open(); }
    uint32_t DataSize() const { return dataSize_; }
    uint32_t RiffSize() const { return riffSize_; }

  private:
    void Abandon();

    std::ofstream file_;
    uint32_t riffSize_ = 36;
    uint16_t channels_ = 0;
    uint32_t sampleRate_ = 0;
    uint32_t bytesPerSec_ = 0;
    uint16_t blockAlign_ = 0;
    uint16_t bitsPerSample_ = 0;
    uint32_t dataSize_ = 0;
    uint32_t unflushed_ = 0;
};

}  // namespace quelp
