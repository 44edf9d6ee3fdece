#pragma once
// Reads a RIFF WAVE file and turns it into the program's one sample format:
// 16-bit signed mono at 11025 Hz, the first channel of each frame, with one or
// two 2:1 decimators for 22050 and 44100 Hz files. The channel can be chosen
// (the first by default).

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "dsp/Bins.h"
#include "dsp/Decimator2.h"
#include "ports/SampleSource.h"

namespace quelp {

// The "fmt " chunk's first 20 bytes, as a PCM wave format header.
struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

// Result of TWaveRead::Open. On failure nothing stays open.
enum class [[nodiscard]] WaveOpenResult : int{
    Ok = 0,
    CannotOpen = -1,       // the file cannot be opened or is not a regular file (a FIFO, a device)
    NotWave = -2,          // no RIFF chunk of form "WAVE"
    NoFormatChunk = -3,    // no "fmt " chunk in it
    FormatTruncated = -4,  // the "fmt " chunk could not be read whole
    NoDataChunk = -5,      // no "data" chunk after the "fmt " chunk
};

// Result of TWaveRead::CheckFormat, matching the messages the decoder shows.
enum class [[nodiscard]] WaveFormatResult : int{
    Ok = 0,
    UnsupportedFormat = 1,
    UnsupportedRate = 2,
};

class TWaveRead final : public SampleSource {
  public:
    static constexpr int kBlockSamples = kBlockSize;

    TWaveRead() = default;
    ~TWaveRead() override = default;
    TWaveRead(const TWaveRead&) = delete;
    TWaveRead& operator=(const TWaveRead&) = delete;

    // A RIFF or data size of 0, or one past the end of the file, as recorders
    // that died or are still writing leave them, reads to the end of the file.
    WaveOpenResult Open(const std::string& fileName);
    // The same walk over any seekable stream (memory images, fuzzing).
    WaveOpenResult Open(std::unique_ptr<std::istream> in);

    // Whether the decoder can take this file: integer PCM of 8, 16, 24 or 32
    // bits whose frames are one sample per channel (block align = channels x
    // bytes per sample), at 11025, 22050 or 44100 Hz.
    WaveFormatResult CheckFormat() const;

    // The channel that ReadFrame takes from each frame; kept across Open.
    void SelectChannel(ChannelChoice channel) { channel_ = channel; }

    // The chosen channel of the next frame as a 16-bit sample; 0 once the
    // data are exhausted or nothing is open.
    int16_t ReadFrame();
    // The next sample at 11025 Hz.
    int16_t ReadSample();
    // Fills a whole block of 2048 samples, padding with zeros once the data
    // run out. Returns 0 (block untouched) when fewer than one frame is left,
    // which is where a decode ends; otherwise the number of samples that were
    // read while data remained (1..2048).
    int ReadBlock(int16_t* block) override;

    void Close();
    bool IsOpen() const { return in_ != nullptr; }

    const WaveFormat& Format() const { return format_; }
    // Bytes of the data chunk not yet read; data chunks up to 4 GiB.
    uint32_t Remaining() const { return remaining_; }
    // Samples at 11025 Hz that the data chunk yields as decoded in blocks.
    uint64_t OutputSamples() const;

  private:
    WaveOpenResult Walk();
    WaveOpenResult Fail(WaveOpenResult code);
    uint32_t FramesPerSample() const;
    // The sample at `at` bytes into the frame just read, of the file's width;
    // 0 when the frame is too short to hold it.
    int16_t SampleAt(uint32_t at) const;

    std::unique_ptr<std::istream> in_;
    WaveFormat format_;
    uint32_t remaining_ = 0;
    std::vector<unsigned char> frame_;  // one frame, sized at open
    ChannelChoice channel_ = ChannelChoice::First;
    Decimator2 firstStage_;
    Decimator2 secondStage_;
};

}  // namespace quelp
