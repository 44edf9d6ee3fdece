#pragma once
// Writes 16-bit PCM WAV files with the classic 44-byte header and keeps the
// header's sizes current while recording, so a file whose recording is cut
// off still plays.

#include <cstdint>
#include <fstream>
#include <string>

namespace quelp {

class TWaveWrite {
  public:
    // Bytes written between header refreshes: 30 s of 16-bit mono at 11025 Hz.
    static constexpr uint32_t kRefreshBytes = 661500;

    TWaveWrite() = default;
    ~TWaveWrite();
    TWaveWrite(const TWaveWrite&) = delete;
    TWaveWrite& operator=(const TWaveWrite&) = delete;

    // 0 success; 1 the file cannot be created; 2..14 the header field that
    // could not be written, in header order. After a failure nothing is open.
    int Create(const std::string& fileName, uint16_t channels, uint16_t bitsPerSample,
               uint32_t sampleRate);
    // Writes `count` frames. 0 success; 1 not open; 2 short write (closed).
    int Write(const int16_t* samples, uint32_t count);
    // 0 success; 1 not open or seek to 4 failed; 2 riff size not written; 3 seek
    // to 40 failed; 4 data size not written; 5 seek back failed; 6 the current
    // position could not be read. Any failure closes the file.
    int UpdateHeader();
    // 0 success; 1 not open; 2..6 as UpdateHeader; 7 closing failed.
    int Close();

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
